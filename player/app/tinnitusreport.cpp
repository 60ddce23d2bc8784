// The tinnitus window's report page: the CSV export, the printed report and the masking sound made from the measures.
#include "player/app/tinnituswindow.h"

#include "player/app/dialogs.h"
#include "player/app/profileplots.h"
#include "player/app/tinnitustext.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <cmath>
#include <utility>

namespace sonaveil::player {

using tinnitustext::dbText;
using tinnitustext::hzText;

namespace {

// The diary keeps its details in English; the report words them in the user's language.
QString detailText(const QString& detail)
{
    static const std::pair<const char*, const char*> kWords[] = {
        {"white", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "white noise")},
        {"pink", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "pink noise")},
        {"band", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "band noise")},
        {"full", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "gone fully")},
        {"partial", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "gone partly")},
        {"none", QT_TRANSLATE_NOOP("sonaveil::player::TinnitusWindow", "no change")},
    };
    for (const auto& [stored, shown] : kWords)
        if (detail == QLatin1String(stored))
            return TinnitusWindow::tr(shown);
    return detail;
}

} // namespace

QWidget* TinnitusWindow::buildReport()
{
    auto* page = new QWidget(m_tabs);
    auto* v = new QVBoxLayout(page);
    auto* files = new QGroupBox(tr("For you and your audiologist"), page);
    auto* f = new QHBoxLayout(files);
    auto* csv = makeButton("cmdExportCsv", tr("E&xport CSV…"), files);
    csv->setToolTip(tr("The diary, the nights and the measures as three CSV files for a spreadsheet"));
    auto* pdf = makeButton("cmdReport", tr("Print a o&ne-page report (PDF)…"), files);
    f->addWidget(csv);
    f->addWidget(pdf);
    f->addStretch();
    v->addWidget(files);
    connect(csv, &QPushButton::clicked, this, [this] {
        const QString name = m_dialogs.saveFileName(
            this, {tr("Export CSV"), QDir::homePath(), tr("CSV files (*.csv)|*.csv"), "tinnitus-diary.csv"});
        if (!name.isEmpty())
            exportCsv(name);
    });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString name = m_dialogs.saveFileName(
            this, {tr("Print a report"), QDir::homePath(), tr("PDF files (*.pdf)|*.pdf"), "tinnitus-report.pdf"});
        if (!name.isEmpty())
            printReport(name);
    });

    auto* sound = new QGroupBox(tr("Make my masking sound"), page);
    auto* s = new QVBoxLayout(sound);
    m_reportText = new QLabel(tr("A noise shaped by the equaliser to your hearing check, at your masking level, with "
                                 "the notch on your pitch. Try it, then keep it as the equaliser preset \"My masking "
                                 "sound\", change it in the equaliser, or discard it."),
                              sound);
    m_reportText->setWordWrap(true);
    s->addWidget(m_reportText);
    auto* row = new QHBoxLayout;
    auto* make = makeButton("cmdMakeSound", tr("Make my masking so&und"), sound);
    auto* keep = makeButton("cmdKeepSound", tr("&Keep"), sound);
    auto* change = makeButton("cmdChangeSound", tr("Chan&ge…"), sound);
    auto* discard = makeButton("cmdDiscardSound", tr("D&iscard"), sound);
    for (QPushButton* b : {make, keep, change, discard})
        row->addWidget(b);
    row->addStretch();
    s->addLayout(row);
    v->addWidget(sound);
    v->addStretch();
    for (QPushButton* b : {keep, change, discard})
        b->setEnabled(false);
    auto decided = [this, keep, change, discard] {
        for (QPushButton* b : {keep, change, discard})
            b->setEnabled(false);
    };
    connect(make, &QPushButton::clicked, this, [this, keep, change, discard] {
        if (const auto made = makeMaskingSound()) {
            emit maskingSoundMade(*made);
            for (QPushButton* b : {keep, change, discard})
                b->setEnabled(true);
            say(tr("Your masking sound plays now. Keep it, change it, or discard it."));
        }
    });
    connect(keep, &QPushButton::clicked, this, [this, decided] {
        emit maskingSoundKept();
        decided();
        say(tr("Kept as the equaliser preset \"My masking sound\"."));
    });
    connect(change, &QPushButton::clicked, this, [this, decided] {
        emit maskingSoundChange();
        decided();
    });
    connect(discard, &QPushButton::clicked, this, [this, decided] {
        emit maskingSoundDiscarded();
        decided();
        say(tr("Discarded: the equaliser and the mix are as they were."));
    });
    return page;
}

std::optional<MaskingSound> TinnitusWindow::makeMaskingSound()
{
    const auto curve = MaskingSound::betterEar(m_session.thresholds(Ear::Left), m_session.thresholds(Ear::Right));
    const auto masking = m_session.maskingLevel();
    if (curve.empty() || !masking) {
        say(tr("Your masking sound needs a hearing check and a masking level first (Measures)."));
        return std::nullopt;
    }
    return MaskingSound::make(curve, masking->first, masking->second, m_session.pitch(),
                              masterPosition ? masterPosition() : 100);
}

bool TinnitusWindow::exportCsv(const QString& base)
{
    QString error;
    if (!m_diary.exportCsv(base, &error)) {
        m_dialogs.information(this, tr("Sonaveil"), tr("The CSV files could not be written: %1").arg(error));
        return false;
    }
    say(tr("Exported to %1 and the two files beside it.").arg(QDir::toNativeSeparators(base)));
    return true;
}

bool TinnitusWindow::printReport(const QString& file)
{
    reload();
    QPdfWriter pdf(file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    pdf.setResolution(150);
    pdf.setTitle(tr("Tinnitus profile"));
    pdf.setCreator("Sonaveil");
    QPainter painter;
    if (!painter.begin(&pdf)) {
        m_dialogs.information(this, tr("Sonaveil"), tr("The report could not be written to %1.").arg(QDir::toNativeSeparators(file)));
        return false;
    }
    paintReport(painter, painter.viewport());
    if (!painter.end()) {
        m_dialogs.information(this, tr("Sonaveil"), tr("The report could not be written to %1.").arg(QDir::toNativeSeparators(file)));
        return false;
    }
    say(tr("Report written to %1.").arg(QDir::toNativeSeparators(file)));
    return true;
}

void TinnitusWindow::paintReport(QPainter& painter, const QRect& page)
{
    painter.save();
    painter.translate(page.topLeft());
    const int w = page.width();

    // Heading and summary, then the audiogram and the ratings side by side in the lower part.
    QStringList lines;
    if (const auto pitch = m_session.pitch())
        lines << tr("Matched pitch: %1").arg(hzText(*pitch));
    for (const MeasureRecord& m : m_diary.measures()) {
        const QString when = QLocale().toString(m.at.date(), QLocale::ShortFormat);
        if (m.kind == MeasureRecord::Kind::Loudness && m.value)
            lines << tr("%1 loudness match at %2: %3").arg(when, hzText(m.hz), m.aboveThreshold ? tr("%1 above threshold").arg(dbText(*m.aboveThreshold)) : dbText(*m.value));
        else if (m.kind == MeasureRecord::Kind::Masking && m.value)
            lines << tr("%1 minimum masking level (%2): %3").arg(when, detailText(m.detail), m.aboveThreshold ? tr("%1 above threshold").arg(dbText(*m.aboveThreshold)) : dbText(*m.value));
        else if (m.kind == MeasureRecord::Kind::Inhibition && m.value)
            lines << tr("%1 residual inhibition: %2 s (%3)").arg(when).arg(std::lround(*m.value)).arg(detailText(m.detail));
    }
    while (lines.size() > 14)
        lines.removeAt(1);
    QTextDocument doc;
    doc.setDefaultFont(QFont(font().family(), 9));
    doc.setTextWidth(w);
    QString html = "<h2>" + tr("Tinnitus profile").toHtmlEscaped() + "</h2><p>"
                   + tr("Printed %1. Levels are relative to this computer and headphones (dB of full scale); self-help, not a diagnosis.")
                         .arg(QLocale().toString(QDate::currentDate(), QLocale::LongFormat))
                         .toHtmlEscaped()
                   + "</p><ul>";
    for (const QString& l : lines)
        html += "<li>" + l.toHtmlEscaped() + "</li>";
    html += "</ul>";
    const auto helps = m_diary.whatHelps();
    if (!helps.isEmpty()) {
        html += "<p><b>" + tr("What helps (mean morning loudness, bother, sleep; nights)").toHtmlEscaped() + "</b><br>";
        QStringList parts;
        for (const HelpFigure& h : helps)
            parts << QString("%1: %2 / %3 / %4 (%5)").arg(h.name.toHtmlEscaped(), QLocale().toString(h.loudness, 'f', 1),
                                                        QLocale().toString(h.bother, 'f', 1),
                                                        h.sleepNights ? QLocale().toString(h.sleep, 'f', 1) : QString("–"))
                         .arg(h.nights);
        html += parts.join("; ") + "</p>";
    }
    doc.setHtml(html);
    const int textHeight = std::min(int(doc.size().height()), page.height() / 2);
    painter.save();
    painter.setClipRect(QRect(0, 0, w, textHeight));
    doc.drawContents(&painter, QRectF(0, 0, w, textHeight));
    painter.restore();

    const int chartTop = textHeight + 20;
    const int chartHeight = (page.height() - chartTop) / 2 - 10;
    // The plots as the window draws them, whichever page shows now.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int top = chartTop;
    for (ProfilePlots::Plot plot : {ProfilePlots::Audiogram, ProfilePlots::Ratings}) {
        if (!m_charts)
            break;
        QWidget* view = m_charts->plotView(plot);
        view->resize(900, 450);
        const QPixmap picture = view->grab();
        const QSize fitted = picture.size().scaled(w, chartHeight, Qt::KeepAspectRatio);
        painter.drawPixmap(QRect(QPoint((w - fitted.width()) / 2, top), fitted), picture);
        top += chartHeight + 20;
    }
    painter.restore();
}

} // namespace sonaveil::player
