// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsReport.h"

#include "TSafeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TStatisticsReport)
};

QString E(const QString& text) {
    return text.toHtmlEscaped();
}

QString N(qint64 n) {
    return QString::number(n);
}

QString Cell(const QString& text, bool right = false) {
    return right ? QStringLiteral("<td align=\"right\">%1</td>").arg(text)
                 : QStringLiteral("<td>%1</td>").arg(text);
}

QString Header(const QStringList& names) {
    QString row = QStringLiteral("<tr>");
    for (const QString& n : names)
        row += QStringLiteral("<th>%1</th>").arg(E(n));
    return row + QStringLiteral("</tr>");
}

QString GroupTitle(TStatisticsGrouping by) {
    switch (by) {
    case TStatisticsGrouping::Day:
        return TTexts::tr("День");
    case TStatisticsGrouping::Week:
        return TTexts::tr("Неделя");
    case TStatisticsGrouping::Project:
        return TTexts::tr("Проект");
    case TStatisticsGrouping::Operator:
        return TTexts::tr("Оператор");
    case TStatisticsGrouping::Station:
        return TTexts::tr("Станция");
    }
    return {};
}

const char* const Style = "<style>body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }"
                          "h1 { font-size: 15pt; } h2 { font-size: 11pt; }"
                          "td, th { padding: 2px 6px; } th { text-align: left; "
                          "background-color: #E8E8E8; }</style>";
} // namespace

QString TStatisticsReport::KindsHtml(const TStatistics& s) {
    QString html = QStringLiteral("<h2>%1</h2><table cellspacing=\"0\" border=\"1\">")
                       .arg(E(TTexts::tr("Неисправности по видам")));
    html += Header({TTexts::tr("Вид"), TTexts::tr("Неисправностей"), TTexts::tr("Проверок"),
                    TTexts::tr("Непрерывная проверка: неисправностей"), TTexts::tr("проверок")});
    for (const TKindFigure& k : s.Kinds)
        html += QStringLiteral("<tr>") + Cell(E(TFault::KindText(k.Kind))) +
                Cell(N(k.Faults), true) + Cell(N(k.Checks), true) + Cell(N(k.WatchFaults), true) +
                Cell(N(k.WatchChecks), true) + QStringLiteral("</tr>");
    html += QStringLiteral("</table><h2>%1</h2>")
                .arg(E(TTexts::tr("Жгуты с браком два раза и более: %1").arg(s.Repeats.size())));
    if (!s.Repeats.empty()) {
        html += QStringLiteral("<table cellspacing=\"0\" border=\"1\">") +
                Header({TTexts::tr("Серийный номер"), TTexts::tr("БРАК"), TTexts::tr("Проверок")});
        for (const TRepeatFigure& r : s.Repeats)
            html += QStringLiteral("<tr>") + Cell(E(r.Serial)) + Cell(N(r.Faulty), true) +
                    Cell(N(r.Checks), true) + QStringLiteral("</tr>");
        html += QStringLiteral("</table>");
    }
    return html;
}

QString TStatisticsReport::Html(const TStatistics& s, const QString& filterText, bool withCharts) {
    QString html = QLatin1String(Style) +
                   QStringLiteral("<h1>%1</h1>").arg(E(TTexts::tr("Статистика проверок")));
    html += QStringLiteral("<p>%1</p>")
                .arg(E(TTexts::tr("Отбор: %1")
                           .arg(filterText.isEmpty() ? TTexts::tr("все записи") : filterText)));
    html +=
        QStringLiteral("<p>") +
        E(TTexts::tr("Проверок: %1 (ГОДЕН %2, БРАК %3), без серийного номера: %4.")
              .arg(N(s.Checks), N(s.Good), N(s.Faulty), N(s.Unnumbered))) +
        QStringLiteral("<br>") +
        E(TTexts::tr("Жгутов: %1. Годны с первого предъявления: %2 (%3). Годны в итоге: "
                     "%4 (%5).")
              .arg(N(s.Harnesses), N(s.FirstPassGood), TStatistics::PercentText(s.FirstPassYield()),
                   N(s.FinalGood), TStatistics::PercentText(s.FinalYield()))) +
        QStringLiteral("</p>");
    if (withCharts)
        html += QStringLiteral("<p><img src=\"%1\" width=\"640\"></p>")
                    .arg(QLatin1String(ChartsResource));
    html +=
        QStringLiteral("<table cellspacing=\"0\" border=\"1\">") +
        Header({GroupTitle(s.By), TTexts::tr("Проверок"), TTexts::tr("ГОДЕН"), TTexts::tr("БРАК"),
                TTexts::tr("Жгутов"), TTexts::tr("С первого предъявления"), TTexts::tr("В итоге")});
    for (const TStatisticsGroup& g : s.Groups)
        html +=
            QStringLiteral("<tr>") + Cell(E(g.Key.isEmpty() ? TTexts::tr("(не указан)") : g.Key)) +
            Cell(N(g.Checks), true) + Cell(N(g.Good), true) + Cell(N(g.Faulty), true) +
            Cell(N(g.Harnesses), true) + Cell(TStatistics::PercentText(g.FirstPassYield()), true) +
            Cell(TStatistics::PercentText(g.FinalYield()), true) + QStringLiteral("</tr>");
    html += QStringLiteral("</table>");
    html += QStringLiteral("<h2>%1</h2>")
                .arg(E(TTexts::tr("Контакты в неисправностях (первые %1 из %2)")
                           .arg(qMin<qsizetype>(PageContacts, s.Contacts.size()))
                           .arg(s.Contacts.size())));
    if (!s.Contacts.empty()) {
        html += QStringLiteral("<table cellspacing=\"0\" border=\"1\">") +
                Header({TTexts::tr("Контакт"), TTexts::tr("Проверок с браком"), TTexts::tr("Доля"),
                        TTexts::tr("Нарастающим итогом"), TTexts::tr("Из них непрерывных")});
        for (std::size_t i = 0; i < s.Contacts.size() && i < std::size_t(PageContacts); ++i) {
            const TContactFigure& c = s.Contacts[i];
            html += QStringLiteral("<tr>") + Cell(E(c.Contact)) + Cell(N(c.Checks), true) +
                    Cell(TStatistics::PercentText(c.Share), true) +
                    Cell(TStatistics::PercentText(c.Cumulative), true) +
                    Cell(N(c.WatchChecks), true) + QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    return html + KindsHtml(s);
}

bool TStatisticsReport::Write(const TStatistics& s, const QString& filterText, const QImage& charts,
                              const QString& path, QString* error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(TTexts::tr("Статистика проверок"));
        pdf.setCreator(QStringLiteral("Pinvel"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        pdf.setResolution(96);
        QTextDocument doc;
        doc.setDocumentMargin(0);
        doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        doc.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
        if (!charts.isNull())
            doc.addResource(QTextDocument::ImageResource, QUrl(QLatin1String(ChartsResource)),
                            charts);
        doc.setHtml(Html(s, filterText, !charts.isNull()));
        doc.print(&pdf);
    }
    QString reason;
    if (!TSafeFile::TryWrite(path, buffer.data(), &reason)) {
        if (error)
            *error = TTexts::tr("Не удалось записать отчет «%1»: %2").arg(path, reason);
        return false;
    }
    return true;
}
