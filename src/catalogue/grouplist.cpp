// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#include "catalogue/grouplist.h"

#include "tags/tagtext.h"
#include <algorithm>

namespace sonavue {
namespace {

// Blocks split when they reach twice this size.
constexpr std::size_t BlockSize = 256;

} // namespace

int compareAscending(const QString& a, const QString& b) {
    // The same order as QString::compare(a, b, Qt::CaseInsensitive), ties broken by
    // QString::compare(a, b): a common exact prefix (long in folder paths) is skipped at
    // once, and ASCII is folded here; only from the first other character on does Qt's
    // case folding take over.
    const auto* x = reinterpret_cast<const char16_t*>(a.constData());
    const auto* y = reinterpret_cast<const char16_t*>(b.constData());
    const qsizetype m = a.size(), n = b.size(), shorter = std::min(m, n);
    qsizetype i = 0;
    while (i < shorter && x[i] == y[i])
        ++i;
    const int exact = i < shorter ? (x[i] < y[i] ? -1 : 1) : (m < n ? -1 : m > n ? 1 : 0);
    for (qsizetype k = i; k < shorter; ++k) {
        char16_t p = x[k], q = y[k];
        if (p >= 0x80 || q >= 0x80) {
            // Never start inside a surrogate pair (its high half is the same in both).
            const qsizetype from = k > 0 && QChar::isHighSurrogate(x[k - 1]) ? k - 1 : k;
            const int folded = QStringView(x + from, m - from)
                                   .compare(QStringView(y + from, n - from), Qt::CaseInsensitive);
            return folded != 0 ? folded : exact;
        }
        if (p >= 'A' && p <= 'Z')
            p = char16_t(p + ('a' - 'A'));
        if (q >= 'A' && q <= 'Z')
            q = char16_t(q + ('a' - 'A'));
        if (p != q)
            return p < q ? -1 : 1;
    }
    if (m != n)
        return m < n ? -1 : 1;
    return exact;
}

namespace {

// QString::toUpper, done here for plain ASCII (most values), where it is a tenth of the work.
QString upperKey(const QString& text) {
    QString key = text;
    char16_t* units = nullptr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u >= 0x80)
            return text.toUpper();
        if (u >= 'a' && u <= 'z') {
            if (!units)
                units = reinterpret_cast<char16_t*>(key.data());
            units[i] = char16_t(u - ('a' - 'A'));
        }
    }
    return key;
}

} // namespace

QString newGroupValue(const QString& value, QSet<QString>& seenUpper) {
    QString cleaned = cleanTagText(value);
    if (cleaned.isEmpty())
        return {};
    QString key = upperKey(cleaned);
    if (seenUpper.contains(key))
        return {};
    seenUpper.insert(std::move(key));
    return cleaned;
}

GroupList::GroupList(Order order, QObject* parent) : QAbstractListModel(parent), m_order(order) {}

int GroupList::blockOf(int index) const {
    // The last block whose first entry is at or before index.
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    return int(it - m_starts.begin()) - 1;
}

QString GroupList::at(int index) const {
    if (index < 0 || index >= m_count)
        return {};
    const int b = blockOf(index);
    return m_blocks[std::size_t(b)].items[std::size_t(index - m_starts[std::size_t(b)])];
}

QStringList GroupList::entries() const {
    QStringList out;
    out.reserve(m_count);
    for (const Block& block : m_blocks)
        for (const QString& item : block.items)
            out.append(item);
    return out;
}

void GroupList::renumberFrom(std::size_t block) {
    for (std::size_t b = block; b < m_blocks.size(); ++b)
        m_starts[b] = b == 0 ? 0 : m_starts[b - 1] + int(m_blocks[b - 1].items.size());
}

int GroupList::append(const QString& value) {
    if (m_blocks.empty() || m_blocks.back().items.size() >= BlockSize) {
        m_blocks.emplace_back();
        m_starts.push_back(m_count);
    }
    const int index = m_count;
    beginInsertRows({}, index, index);
    m_blocks.back().items.push_back(value);
    ++m_count;
    endInsertRows();
    return index;
}

int GroupList::insertSorted(const QString& value) {
    if (m_blocks.empty())
        return append(value);
    if (!lessAscending(value, m_blocks.back().items.back()))
        return append(value);
    // The walk adds folders below a folder before it, and a folder's subfolders last to
    // first: the folder list mostly grows at its front, which is looked at first.
    const bool first = lessAscending(value, m_blocks.front().items.front());
    // Else the first block whose last entry sorts after value takes it.
    const auto blockIt = first ? m_blocks.begin()
                               : std::upper_bound(m_blocks.begin(), m_blocks.end(), value,
                                                  [](const QString& v, const Block& block) {
                                                      return lessAscending(v, block.items.back());
                                                  });
    const std::size_t b = std::size_t(blockIt - m_blocks.begin());
    std::deque<QString>& items = m_blocks[b].items;
    const auto pos =
        first ? items.begin() : std::upper_bound(items.begin(), items.end(), value, lessAscending);
    const int index = m_starts[b] + int(pos - items.begin());

    beginInsertRows({}, index, index);
    items.insert(pos, value);
    ++m_count;
    if (items.size() >= 2 * BlockSize) {
        Block tail;
        tail.items.assign(std::make_move_iterator(items.begin() + BlockSize),
                          std::make_move_iterator(items.end()));
        items.resize(BlockSize);
        m_blocks.insert(m_blocks.begin() + std::ptrdiff_t(b) + 1, std::move(tail));
        m_starts.insert(m_starts.begin() + std::ptrdiff_t(b) + 1, 0);
    }
    renumberFrom(b + 1);
    endInsertRows();
    return index;
}

int GroupList::add(const QString& value) {
    if (m_deferred) {
        m_pending.push_back(value);
        return -1;
    }
    return m_order == Order::Ascending ? insertSorted(value) : append(value);
}

void GroupList::setDeferred(bool on) {
    m_deferred = on;
    if (!on)
        publishPending();
}

void GroupList::publishPending() {
    std::vector<QString> pending;
    pending.swap(m_pending);
    for (const QString& value : pending)
        m_order == Order::Ascending ? insertSorted(value) : append(value);
}

void GroupList::clear() {
    m_pending.clear();
    if (m_count == 0 && m_blocks.empty())
        return;
    beginResetModel();
    m_blocks.clear();
    m_starts.clear();
    m_count = 0;
    endResetModel();
}

void GroupList::takeEntriesFrom(GroupList& other) {
    beginResetModel();
    m_blocks.swap(other.m_blocks);
    m_starts.swap(other.m_starts);
    m_pending.swap(other.m_pending);
    std::swap(m_count, other.m_count);
    endResetModel();
    publishPending();
}

int GroupList::indexOf(const QString& value) const {
    for (std::size_t b = 0; b < m_blocks.size(); ++b) {
        const std::deque<QString>& items = m_blocks[b].items;
        if (m_order == Order::Ascending && (items.empty() || lessAscending(items.back(), value)))
            continue; // sorted: value can only be in a later block
        const auto it = std::find(items.begin(), items.end(), value);
        if (it != items.end())
            return m_starts[b] + int(it - items.begin());
    }
    return -1;
}

int GroupList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant GroupList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() != 0 || index.row() >= m_count)
        return {};
    if (role == Qt::ToolTipRole) {
        // A tool tip that looks like markup is shown as rich text: tag text is escaped and
        // marked as rich text, so it always shows as the letters it is.
        return QStringLiteral("<p style='white-space:pre'>%1</p>")
            .arg(at(index.row()).toHtmlEscaped());
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return at(index.row());
}

} // namespace sonavue
