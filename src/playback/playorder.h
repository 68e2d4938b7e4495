// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
#pragma once
// The play order's choices besides going on row by row: shuffled play, what a track's end
// does once the group list is gone round (repeat), and the shuffled order of one track list.
// Both choices off (repeat "all"), the end-of-track step is the player's own.
#include <QRandomGenerator>
#include <QString>
#include <optional>
#include <vector>

namespace sonavue {

enum class Repeat {
    All,  // after the last group entry play goes round to the first (the player's own)
    One,  // a track's end plays the same track again
    None, // play stops after the last track of the last group entry
};
// "all", "one", "none": the settings file's and the remote's words.
QString repeatWord(Repeat repeat);
std::optional<Repeat> repeatNamed(QStringView word);
// all, one, none, all, ...
Repeat nextRepeat(Repeat repeat);

// A random order of one track list's indexes, each played once. The list is told by its
// catalogue rows: another list (another group entry, a list filled again differently) gets an
// order of its own.
class ShuffleOrder {
public:
    // The next index of rows to play in this order; played is the index already playing from
    // this list (-1: none), which a new order counts as played. Nothing once the order is used
    // up.
    std::optional<int> take(const std::vector<int>& rows, int played);
    // What take() would give, without taking it; nothing when rows would need a new order.
    std::optional<int> peek(const std::vector<int>& rows) const;
    // The next take() starts a new order even for the same list.
    void forget();

private:
    std::vector<int> m_rows;  // the list the order is for
    std::vector<int> m_order; // indexes of m_rows
    std::size_t m_next = 0;
    bool m_fresh = false; // forgotten: the next take draws anew
    QRandomGenerator m_random{QRandomGenerator::securelySeeded()};
};

} // namespace sonavue
