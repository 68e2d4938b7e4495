// SPDX-License-Identifier: LicenseRef-proprietary
// SPDX-FileCopyrightText: 2026 The Sonavue developers
// What a user sees of the settings frame and the title strip: every caption is drawn whole
// (nothing cuts it or lies over it), the frame's caption stays clear of the web panel, and
// option circles, check boxes and the " -  " label stand out on every colour choice.
#include "mainwindowfixture.h"
#include "windowcontrols.h"

#include "support/artifacts.h"
#include "support/datarow.h"
#include "ui/style/colours.h"
#include "ui/window/layoutrules.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOption>
#include <QToolButton>

using namespace sonavue;
using namespace sonavue::testing;

namespace {
const QString App = QStringLiteral("SonavueLegibilityTest");

constexpr std::int32_t rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// Pixels differ visibly when some channel moves this much.
constexpr int InkThreshold = 40;

bool differs(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) > InkThreshold ||
           std::abs(qGreen(a) - qGreen(b)) > InkThreshold ||
           std::abs(qBlue(a) - qBlue(b)) > InkThreshold ||
           std::abs(qAlpha(a) - qAlpha(b)) > InkThreshold;
}

// The bounding box of the pixels where two pictures of the same place differ.
QRect inkBetween(const QImage& with, const QImage& without) {
    QRect ink;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (differs(with.pixel(x, y), without.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage picture(QWidget& window, const QRect& area) {
    return window.grab(area).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The window in a colour, drawn onto a clear picture so that where it is see-through stays clear.
QImage renderedIn(MainWindow& window, std::int32_t colour) {
    window.setColour(colour);
    QImage image(window.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    window.render(&image);
    return image;
}

QString captionOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    return {};
}

void setCaption(QWidget* w, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else
        qobject_cast<QAbstractButton*>(w)->setText(text);
}

// The size of the caption's ink when nothing limits it: drawn alone, unclipped, in the
// control's font and colours.
QSize freeInkSize(const QWidget* w) {
    const QString text = captionOf(w);
    const QColor background = w->palette().color(QPalette::Window);
    QImage plain(400, 120, QImage::Format_ARGB32);
    plain.fill(background.alpha() ? background : QColor(Qt::white));
    QImage drawn = plain;
    QPainter painter(&drawn);
    painter.setFont(w->font());
    painter.setPen(w->palette().color(QPalette::WindowText));
    painter.drawText(QRect(20, 20, 360, 80), Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    return inkBetween(drawn, plain).size();
}

// The caption's ink as the window shows it: the window with and without the caption.
QSize visibleInkSize(MainWindow& f, QWidget* w) {
    const QRect area =
        QRect(w->mapTo(&f, QPoint(0, 0)), w->size()).adjusted(-20, -20, 20, 20) & f.rect();
    const QString text = captionOf(w);
    const QImage with = picture(f, area);
    setCaption(w, QString());
    const QImage without = picture(f, area);
    setCaption(w, text);
    return inkBetween(with, without).size();
}

// Where a caption's line of text lies (the font's full height, not just its ink) in its
// parent's coordinates, as the control aligns it.
QRect captionLine(QWidget* w) {
    const QFontMetrics metrics(w->font());
    // Trailing blanks draw nothing; clipping them takes nothing away.
    QString text = captionOf(w);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    const QSize size(metrics.horizontalAdvance(text), metrics.height());
    QRect room = w->contentsRect();
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    if (const auto* label = qobject_cast<QLabel*>(w)) {
        alignment = label->alignment();
    } else {
        QStyleOptionButton option;
        option.initFrom(w);
        option.text = text;
        room = w->style()->subElementRect(qobject_cast<QRadioButton*>(w)
                                              ? QStyle::SE_RadioButtonContents
                                              : QStyle::SE_CheckBoxContents,
                                          &option, w);
    }
    return QStyle::alignedRect(w->layoutDirection(), alignment, size, room).translated(w->pos());
}

// The controls of the same parent stacked above w.
QList<QWidget*> stackedAbove(QWidget* w) {
    QList<QWidget*> above;
    bool after = false;
    for (QObject* sibling : w->parentWidget()->children()) {
        if (sibling == w)
            after = true;
        else if (auto* widget = qobject_cast<QWidget*>(sibling);
                 after && widget && widget->isVisible())
            above << widget;
    }
    return above;
}

QList<QWidget*> captionedControls(MainWindow& f) {
    const WindowControls ui(f);
    QList<QWidget*> controls{ui.sizeLabel};
    for (QWidget* w : ui.settingsFrame->findChildren<QWidget*>())
        if ((qobject_cast<QLabel*>(w) && !captionOf(w).isEmpty()) ||
            qobject_cast<QAbstractButton*>(w))
            controls << w;
    return controls;
}

// The frame's caption as its style places it, in window coordinates.
QRect frameCaptionRect(MainWindow& f) {
    const WindowControls ui(f);
    QStyleOptionGroupBox option;
    option.initFrom(ui.settingsFrame);
    option.text = ui.settingsFrame->title();
    option.textAlignment = ui.settingsFrame->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    const QRect local = ui.settingsFrame->style()->subControlRect(
        QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, ui.settingsFrame);
    return local.translated(ui.settingsFrame->pos());
}

QRect indicatorRect(MainWindow& f, QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<QRadioButton*>(button);
    const QRect local = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
    return local.translated(button->mapTo(&f, QPoint(0, 0)));
}

// How much the indicator's most distinct pixel stands out from the window behind it. On
// the see-through key colour nothing is behind it: there, how opaque that pixel is.
double indicatorStandOut(const QImage& window, const QRect& indicator, const QColor& background) {
    double best = 0;
    for (int y = indicator.top(); y <= indicator.bottom(); ++y)
        for (int x = indicator.left(); x <= indicator.right(); ++x) {
            const QColor pixel = window.pixelColor(x, y);
            best = std::max(best, background.alpha() == 0 ? pixel.alphaF() * 21
                                                          : contrastRatio(pixel, background));
        }
    return best;
}

// Points a quarter, a half and three quarters along each side of `rect` (window coordinates)
// where the control itself shows: a part of a side under another control, or under a part of
// the control itself (`covered`), is left out.
QList<QPoint> visibleSidePoints(MainWindow& f, const QWidget* control, const QRect& rect,
                                const QRect& covered = {}) {
    QList<QPoint> points;
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const int x = rect.left() + rect.width() * quarter / 4;
        const int y = rect.top() + rect.height() * quarter / 4;
        for (const QPoint point : {QPoint(rect.left(), y), QPoint(rect.right(), y),
                                   QPoint(x, rect.top()), QPoint(x, rect.bottom())}) {
            const QWidget* shown = f.childAt(point);
            if ((shown == control || control->isAncestorOf(shown)) && !covered.contains(point))
                points << point;
        }
    }
    return points;
}

// A part of a slider or a scroll bar (its groove or its handle), in window coordinates.
QRect sliderPart(MainWindow& f, const QAbstractSlider* slider, QStyle::SubControl part,
                 QStyle::ComplexControl control = QStyle::CC_Slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    const QRect local = slider->style()->subControlRect(control, &option, part, slider);
    return local.translated(slider->mapTo(&f, QPoint(0, 0)));
}

QRect areaOf(MainWindow& f, const QWidget* control) {
    return {control->mapTo(&f, QPoint(0, 0)), control->size()};
}

// `area` of the window (window coordinates) drawn onto a clear picture of its size.
QImage renderedArea(MainWindow& window, const QRect& area) {
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    window.render(&image, QPoint(), QRegion(area));
    return image;
}

// The pixels of `rect` (picture coordinates) that stand out from `background` by `ratio`.
int pixelsStandingOut(const QImage& image, const QRect& rect, const QColor& background,
                      double ratio) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += contrastRatio(image.pixelColor(x, y), background) >= ratio;
    return count;
}

// How far the most distinct pixel of `rect` (picture coordinates) stands out from `background`:
// for text, the core of its strokes.
double mostDistinct(const QImage& image, const QRect& rect, const QColor& background) {
    double best = 1;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            best = std::max(best, contrastRatio(image.pixelColor(x, y), background));
    return best;
}

// Every colour the palette offers, once.
QList<std::int32_t> paletteColours() {
    const QImage palette = paletteImage();
    QList<std::int32_t> colours;
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            if (const std::int32_t colour = fromQColor(palette.pixelColor(x, y));
                !colours.contains(colour))
                colours << colour;
    return colours;
}

// The faces that read on the window colour, each drawn alone from the window (an open find
// field showing its hint over a track list with its first row selected).
struct FacesOnColours {
    explicit FacesOnColours(MainWindow& window)
        : f(window), ui(window),
          play(areaOf(f, control<QToolButton>(f, QStringLiteral("playPause")))),
          stop(areaOf(f, control<QToolButton>(f, QStringLiteral("stop")))),
          volume(areaOf(f, ui.volumeBar)),
          handle(sliderPart(f, ui.volumeBar, QStyle::SC_ScrollBarSlider, QStyle::CC_ScrollBar)),
          groove(visibleSidePoints(
              f, ui.volumeBar,
              sliderPart(f, ui.volumeBar, QStyle::SC_ScrollBarGroove, QStyle::CC_ScrollBar),
              handle)),
          selected(ui.titlesList->visualRect(ui.titlesList->model()->index(0, 0))
                       .translated(ui.titlesList->viewport()->mapTo(&f, QPoint(0, 0)))) {
        // The hint, in the left part of the field where nothing else is drawn.
        const QWidget* field = control<QLineEdit>(f, QStringLiteral("FindText"));
        hint = areaOf(f, field).adjusted(4, 4, -field->width() / 2, -4);
    }

    // What does not stand out (3:1) or read (4.5:1 for text) on the window in colour.
    QStringList faintOn(std::int32_t colour) const {
        f.setColour(colour);
        const QColor background = toQColor(colour);
        QStringList faint;
        const auto need = [&](bool good, const char* what) {
            if (!good)
                faint << QStringLiteral("#%1: %2").arg(colour, 6, 16, QLatin1Char('0')).arg(what);
        };
        const auto symbolShows = [&](const QRect& button) {
            return pixelsStandingOut(renderedArea(f, button), QRect(QPoint(), button.size()),
                                     background, 3.0) >= 12;
        };
        ui.transportBar->setState(MediaControl::State::Playing, 1000, 60000);
        need(symbolShows(play), "pause symbol");
        need(symbolShows(stop), "stop symbol");
        ui.transportBar->setState(MediaControl::State::Paused, 1000, 60000);
        need(symbolShows(play), "play symbol");

        const QImage bar = renderedArea(f, volume);
        const auto barStandsOut = [&](QPoint point) {
            return contrastRatio(bar.pixelColor(point - volume.topLeft()), background) >= 3.0;
        };
        need(std::all_of(groove.begin(), groove.end(), barStandsOut), "volume groove");
        need(barStandsOut(handle.center()), "volume handle");

        const QImage hinted = renderedArea(f, hint);
        need(mostDistinct(hinted, hinted.rect(), background) >= 4.5, "find hint");
        const QImage row = renderedArea(f, selected);
        const QColor highlight = row.pixelColor(row.width() - 3, row.height() / 2);
        need(contrastRatio(highlight, background) >= 3.0, "selected row's bar");
        need(mostDistinct(row, row.rect(), highlight) >= 4.5, "selected row's text");
        return faint;
    }

    MainWindow& f;
    const WindowControls ui;
    const QRect play, stop, volume, handle;
    const QList<QPoint> groove;
    const QRect selected;
    QRect hint;
};

void saveArtifact(QWidget& window, const QString& name) {
    QVERIFY(window.grab().save(artifactPath(name)));
}

QList<QAbstractButton*> indicatorButtons(MainWindow& f) {
    const WindowControls ui(f);
    return {ui.trackChangeOptions[0], ui.trackChangeOptions[1], ui.backgroundOptions[0],
            ui.backgroundOptions[1],  ui.fontSizeOptions[0],    ui.fontSizeOptions[1],
            ui.fontSizeOptions[2],    ui.fileTypeBoxes[0],      ui.fileTypeBoxes[1],
            ui.fileTypeBoxes[2]};
}

} // namespace

class LegibilityTest : public QObject {
    Q_OBJECT
    SettingsFile m_settings{App};

private slots:
    void init() { m_settings.remove(); }

    void everyCaptionIsDrawnWhole_data() {
        QTest::addColumn<std::int32_t>("colour");
        dataRow("white", std::int32_t(0xFFFFFF));
        dataRow("black", std::int32_t(0));
    }
    void everyCaptionIsDrawnWhole() {
        QFETCH(std::int32_t, colour);
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        f.setColour(colour);
        const QList<QWidget*> controls = captionedControls(f);
        QVERIFY(controls.size() >= 17);
        QStringList cut;
        for (QWidget* control : controls) {
            const QSize free = freeInkSize(control);
            const QSize visible = visibleInkSize(f, control);
            QVERIFY2(!free.isEmpty(), qPrintable(captionOf(control)));
            // Whatever covers or clips a caption takes rows or columns of its ink away.
            if (visible.width() < free.width() || visible.height() < free.height())
                cut << QStringLiteral("\"%1\" shows %2x%3 of %4x%5")
                           .arg(captionOf(control))
                           .arg(visible.width())
                           .arg(visible.height())
                           .arg(free.width())
                           .arg(free.height());
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        saveArtifact(f, QStringLiteral("legibility-%1.png").arg(QTest::currentDataTag()));
    }

    void everyCaptionLineHasRoomOfItsOwn() {
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        QStringList crowded;
        for (QWidget* control : captionedControls(f)) {
            if (qobject_cast<QPushButton*>(control))
                continue; // a button's caption lies inside its own face
            const QRect line = captionLine(control);
            if (!control->geometry().contains(line) ||
                !control->parentWidget()->rect().contains(line))
                crowded << captionOf(control) + QStringLiteral(" is clipped");
            for (QWidget* above : stackedAbove(control))
                if (above->geometry().intersects(line))
                    crowded << captionOf(control) + QStringLiteral(" lies under ") +
                                   above->metaObject()->className() + captionOf(above);
        }
        QVERIFY2(crowded.isEmpty(), qPrintable(crowded.join(QStringLiteral("; "))));
    }

    void theFrameCaptionKeepsClearOfTheWebPanelAndTheControls() {
        auto w = startWindow(App, true);
        MainWindow& f = *w->form;
        QVERIFY(webPanelAdded(f));
        const WindowControls ui(f);
        const QRect caption = frameCaptionRect(f);
        QVERIFY(!caption.isEmpty());
        // The caption lies inside the frame at its designed place, below nothing else.
        QVERIFY(ui.settingsFrame->geometry().contains(caption));
        QVERIFY(!ui.webPanel->geometry().intersects(ui.settingsFrame->geometry()));
        for (QWidget* child : ui.settingsFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(child->isWindow() || // a popup (the context menu) lies in no layout
                         !child->geometry().translated(ui.settingsFrame->pos()).intersects(caption),
                     qPrintable(child->objectName() + captionOf(child)));
        // The web panel still reaches down towards the frame, as the resize rule says.
        QVERIFY(ui.settingsFrame->y() - (ui.webPanel->y() + ui.webPanel->height()) <= 4);
    }

    void indicatorsStandOutOnEveryColour_data() {
        QTest::addColumn<std::int32_t>("colour");
        dataRow("white", std::int32_t(0xFFFFFF));
        dataRow("black", std::int32_t(0));
        dataRow("see-through key colour", KeyColour);
        dataRow("deep blue", rgb(0, 0, 124));
        dataRow("sum 351, dark", rgb(100, 100, 151));
        dataRow("sum 352, light", rgb(100, 100, 152));
        dataRow("orange", rgb(255, 97, 0));
        dataRow("dark red", rgb(128, 20, 28));
    }
    void indicatorsStandOutOnEveryColour() {
        QFETCH(std::int32_t, colour);
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        ui.fileTypeBoxes[1]->setChecked(false);
        const QImage window = renderedIn(f, colour);
        const QColor background = colour == KeyColour ? QColor(Qt::transparent) : toQColor(colour);
        QStringList faint;
        for (QAbstractButton* button : indicatorButtons(f)) {
            const QRect indicator = indicatorRect(f, button);
            QVERIFY(window.rect().contains(indicator));
            const double standOut = indicatorStandOut(window, indicator, background);
            if (standOut < 3.0)
                faint << QStringLiteral("%1%2: %3")
                             .arg(button->text(),
                                  button->isChecked() ? QStringLiteral(" (on)") : QString())
                             .arg(standOut, 0, 'f', 2);
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
    }

    // The outlines of the lists, the folder box and the position slider's groove stand out from
    // the window wherever they show, on dark, light, middle and saturated colours alike.
    void outlinesStandOutOnEveryColour_data() {
        QTest::addColumn<std::int32_t>("colour");
        dataRow("black", std::int32_t(0));
        dataRow("white", std::int32_t(0xFFFFFF));
        dataRow("mid grey", rgb(128, 128, 128));
        dataRow("saturated green", rgb(0, 255, 0));
        dataRow("saturated blue", rgb(0, 0, 255));
    }
    void outlinesStandOutOnEveryColour() {
        QFETCH(std::int32_t, colour);
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        const QImage window = renderedIn(f, colour);
        const QColor background = toQColor(colour);
        const auto* slider = ui.transportBar->findChild<QSlider*>();
        QVERIFY(slider);
        // The slider's groove, where the handle does not lie on it, and the boxes' edges.
        QList<std::pair<const QWidget*, QList<QPoint>>> outlines{
            {slider, visibleSidePoints(f, slider, sliderPart(f, slider, QStyle::SC_SliderGroove),
                                       sliderPart(f, slider, QStyle::SC_SliderHandle))}};
        for (const QWidget* control : std::initializer_list<const QWidget*>{
                 ui.numbersList, ui.titlesList, ui.groupLists[GroupFolder], ui.reservedList,
                 ui.folderBox})
            outlines.append({control, visibleSidePoints(f, control,
                                                        QRect(control->mapTo(&f, QPoint(0, 0)),
                                                              control->size()))});
        QStringList faint;
        for (const auto& [control, points] : outlines) {
            QVERIFY2(points.size() >= 4, control->metaObject()->className());
            for (const QPoint point : points) {
                const double ratio = contrastRatio(window.pixelColor(point), background);
                if (ratio < 3.0)
                    faint << QStringLiteral("%1 at %2,%3: %4")
                                 .arg(control->objectName() + control->metaObject()->className())
                                 .arg(point.x())
                                 .arg(point.y())
                                 .arg(ratio, 0, 'f', 2);
            }
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
    }

    // On every colour the palette offers: the transport buttons' symbols and the volume bar's
    // groove and handle stand out (3:1), the find field's hint and the selected row's text read
    // (4.5:1), and the selected row stands out from the rows around it.
    void facesReadOnEveryPaletteColour() {
        QTemporaryDir music;
        writeTrack(music.path(), {QStringLiteral("a.mp3"), QStringLiteral("Blue Hour")});
        m_settings.set(QStringLiteral("Folder"), music.path());
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.handleKey(Qt::Key_F, Qt::ControlModifier); // the find opens, empty: its hint shows
        QVERIFY(control<QLineEdit>(f, QStringLiteral("FindText"))->isVisible());
        QCOMPARE(highlighted(ui.titlesList), 0);
        const FacesOnColours faces(f);
        QVERIFY(faces.groove.size() >= 4);
        QStringList faint;
        for (const std::int32_t colour : paletteColours()) {
            faint << faces.faintOn(colour);
            if (faint.size() >= 20)
                break; // enough to tell what is wrong
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral("; "))));
        for (const auto& [colour, name] : {std::pair{0, "black"}, {rgb(0, 107, 124), "blue"}}) {
            f.setColour(colour);
            ui.transportBar->setState(MediaControl::State::Playing, 1000, 60000);
            saveArtifact(f, QStringLiteral("legibility-faces-%1.png").arg(QLatin1String(name)));
        }
    }

    void theAboutLabelReadsOnTheTitleStrip_data() { indicatorsStandOutOnEveryColour_data(); }
    void theAboutLabelReadsOnTheTitleStrip() {
        QFETCH(std::int32_t, colour);
        auto w = startWindow(App);
        MainWindow& f = *w->form;
        const WindowControls ui(f);
        f.setColour(colour);
        const QColor strip = ui.titleStrip->palette().color(QPalette::Window);
        QCOMPARE(strip, toQColor(TitleStripColour));
        QVERIFY(contrastRatio(ui.sizeLabel->palette().color(QPalette::WindowText), strip) >= 4.5);
        // The rest of the window keeps the text colour of its own background.
        QCOMPARE(ui.reservedLabel->palette().color(QPalette::WindowText),
                 toQColor(textColourFor(colour)));
    }

    void theWebPanelStopsAboveTheSettingsFrame_data() {
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("webHeight");
        // The designed window: H - 2400 would reach 8700, over the frame's caption at 8520.
        dataRow("designed size", DesignedClientHeight, 7650.0);
        dataRow("taller than designed", 14000.0, 7650.0);
        // Where H - 2400 already keeps clear, the designed figure stands.
        dataRow("6000 high", 6000.0, 3600.0);
        dataRow("where the two rules meet", 10050.0, 7650.0);
    }
    void theWebPanelStopsAboveTheSettingsFrame() {
        QFETCH(double, height);
        QFETCH(double, webHeight);
        const ResizeGeometry g = resizeGeometry(DesignedClientWidth, height, false, 360, 1335,
                                                [](double t) { return t; });
        QCOMPARE(*g.webHeight, webHeight);
        QVERIFY(WebPanelTop + *g.webHeight < SettingsFrameTop);
        // Maximised, the settings frame is hidden and the panel takes the height as designed.
        QCOMPARE(
            *resizeGeometry(19200, 14400, true, 360, 1335, [](double t) { return t; }).webHeight,
            12400.0);
    }
};

int main(int argc, char* argv[]) {
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());
    QApplication app(argc, argv);
    LegibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ui_legibility.moc"
