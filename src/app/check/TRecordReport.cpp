// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordReport.h"

#include "THarnessCheck.h"
#include "TRecordsDatabase.h"
#include "TSafeFile.h"
#include "TStatisticsQuery.h"
#include "TStatisticsReport.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QStringList>
#include <QTextDocument>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRecordReport)
};

QString E(const QString& text) {
    return text.toHtmlEscaped();
}

QString Time(const QDateTime& t) {
    return TTestRecord::TimeText(t);
}

QString Verdict(const TTestRecord& r, int size) {
    return QStringLiteral("<span style=\"color:%1; font-size:%2pt; font-weight:bold\">%3</span>")
        .arg(r.Good ? QStringLiteral("#008000") : QStringLiteral("#C00000"))
        .arg(size)
        .arg(E(r.VerdictText()));
}

// Whether the harness was checked against a reference a supervisor had approved.
QString ApprovalWord(const TTestRecord& r) {
    return r.ReferenceApproved ? TTexts::tr("утвержден") : TTexts::tr("не утвержден");
}

QString FaultLine(const TTestRecord& r, const TRecordFault& f) {
    QString line = E(f.Fault.Text());
    if (r.Mode == TTestRecord::TMode::Watch)
        line += E(TTexts::tr(" — замечено %1 раз, впервые %2, последний раз %3")
                      .arg(f.Seen)
                      .arg(Time(f.First), Time(f.Last)));
    return line;
}

const char* const Style = "<style>body { font-family: 'DejaVu Sans', sans-serif; font-size: 9pt; }"
                          "h1 { font-size: 15pt; } h2 { font-size: 11pt; }"
                          "td, th { padding: 2px 6px; } th { text-align: left; "
                          "background-color: #E8E8E8; }</style>";

bool Print(const QString& html, const QString& title, const QString& path, bool landscape,
           QString* error) {
    // Laid out in memory and written as a whole, as a project is: a failed write leaves the
    // previous report as it was, and the reason comes in the user's words.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Pinvel"));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        // Laid out at the type's own resolution, so the text fills the page's width at its
        // point size.
        pdf.setResolution(96);
        QTextDocument doc;
        doc.setDocumentMargin(0);
        doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        doc.setPageSize(pdf.pageLayout().paintRectPixels(pdf.resolution()).size());
        doc.setHtml(html);
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
} // namespace

QString TRecordReport::ReferenceHtml(const QString& sum,
                                     const std::optional<TKeptReference>& kept) {
    QString html =
        QStringLiteral("<a name=\"reference\"></a><h2>%1</h2>").arg(E(TTexts::tr("Эталон записи")));
    if (!kept) {
        html += QStringLiteral("<p>%1</p>")
                    .arg(E(TTexts::tr("Эталона с SHA-256 %1 нет в базе записей: он был "
                                      "записан до того, как программа стала хранить эталоны.")
                               .arg(sum)));
        return html;
    }
    QStringList lines = QString::fromUtf8(kept->Wires).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const qsizetype wires = lines.isEmpty() ? 0 : lines.size() - 1; // less the header
    html += QStringLiteral("<p>%1</p>")
                .arg(E(TTexts::tr("%1: %2, станция %3, %4. Проводов: %5.")
                           .arg(TKeptReference::OriginText(kept->Origin),
                                kept->KeptBy.isEmpty() ? QStringLiteral("—") : kept->KeptBy,
                                kept->Station, Time(kept->Time))
                           .arg(wires)));
    html += QStringLiteral("<pre>%1</pre>").arg(E(lines.join(QLatin1Char('\n'))));
    return html;
}

QString TRecordReport::RecordHtml(const TTestRecord& r) {
    const auto row = [](const QString& name, const QString& valueHtml) {
        return QStringLiteral("<tr><th>%1</th><td>%2</td></tr>").arg(E(name), valueHtml);
    };
    QString html = QLatin1String(Style);
    html += QStringLiteral("<h1>%1</h1>").arg(E(TTexts::tr("Протокол проверки жгута")));
    html += QStringLiteral("<table cellspacing=\"0\" border=\"1\" width=\"100%\">");
    html += row(TTexts::tr("Результат"), Verdict(r, 16));
    html += row(TTexts::tr("Серийный номер"), E(r.Serial));
    html += row(TTexts::tr("Проект"), E(r.ProjectPath.isEmpty() ? r.ProjectName() : r.ProjectPath));
    html += row(TTexts::tr("Контрольная сумма эталона (SHA-256)"),
                QStringLiteral("<code>%1</code>").arg(E(r.ReferenceSum)));
    html += row(TTexts::tr("Эталон"), E(ApprovalWord(r)));
    html += row(TTexts::tr("Время проверки"), E(Time(r.Time)));
    html += row(TTexts::tr("Оператор"), E(r.Operator));
    html += row(TTexts::tr("Станция"), E(r.Station));
    html += row(TTexts::tr("Проверка"), E(r.Mode == TTestRecord::TMode::Watch
                                              ? TTexts::tr("непрерывная, проверок: %1").arg(r.Scans)
                                              : TTexts::tr("однократная")));
    html += row(TTexts::tr("Запись"), E(r.Uid));
    html += QStringLiteral("</table>");
    html +=
        QStringLiteral("<h2>%1</h2>").arg(E(TTexts::tr("Неисправности: %1").arg(r.Faults.size())));
    if (r.Faults.empty()) {
        html += QStringLiteral("<p>%1</p>").arg(E(TTexts::tr("Неисправностей нет.")));
    } else {
        html += QStringLiteral("<ol>");
        for (const TRecordFault& f : r.Faults)
            html += QStringLiteral("<li>%1</li>").arg(FaultLine(r, f));
        html += QStringLiteral("</ol>");
    }
    return html;
}

QString TRecordReport::ListHtml(const std::vector<TTestRecord>& records, const QString& filterText,
                                const TStatistics* statistics) {
    QString html = QLatin1String(Style);
    html += QStringLiteral("<h1>%1</h1>").arg(E(TTexts::tr("Журнал проверок")));
    html += QStringLiteral("<p>%1<br>%2<br>%3</p>")
                .arg(E(TTexts::tr("Отбор: %1").arg(filterText)),
                     E(TTexts::tr("Записей: %1").arg(records.size())),
                     E(TTexts::tr("✔ — эталон утвержден мастером.")));
    html += QStringLiteral("<table cellspacing=\"0\" border=\"1\" width=\"100%\"><tr>");
    for (const QString& h :
         {TTexts::tr("Время"), TTexts::tr("Серийный номер"), TTexts::tr("Результат"),
          TTexts::tr("Проект"), TTexts::tr("Эталон (SHA-256)"), TTexts::tr("Оператор"),
          TTexts::tr("Станция"), TTexts::tr("Неисправности")})
        html += QStringLiteral("<th>%1</th>").arg(E(h));
    html += QStringLiteral("</tr>");
    for (const TTestRecord& r : records) {
        QStringList faults;
        for (const TRecordFault& f : r.Faults)
            faults << FaultLine(r, f);
        // An approved reference is ticked after its sum, on the same line.
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td>"
                               "<td><code>%5</code>%6</td><td>%7</td><td>%8</td><td>%9</td></tr>")
                    .arg(E(Time(r.Time)), E(r.Serial), Verdict(r, 9), E(r.ProjectName()),
                         E(r.ReferenceSum.left(16)),
                         r.ReferenceApproved ? QStringLiteral(" &#10004;") : QString(),
                         E(r.Operator), E(r.Station), faults.join(QStringLiteral("<br>")));
    }
    html += QStringLiteral("</table>");
    if (statistics)
        html += QStringLiteral("<div style=\"page-break-before: always\"></div>") +
                TStatisticsReport::Html(*statistics, filterText, false);
    return html;
}

bool TRecordReport::WriteRecord(const TTestRecord& record, const QString& path, QString* error) {
    return Print(RecordHtml(record), TTexts::tr("Протокол проверки жгута %1").arg(record.Serial),
                 path, false, error);
}

bool TRecordReport::WriteList(const std::vector<TTestRecord>& records, const QString& filterText,
                              const QString& path, QString* error) {
    return Print(ListHtml(records, filterText), TTexts::tr("Журнал проверок"), path, true, error);
}

bool TRecordReport::WriteList(TRecordsDatabase& database, const TRecordFilter& filter,
                              const QString& path, int* count, QString* error) {
    const qint64 total = database.Count(filter, error);
    if (total < 0)
        return false;
    if (total > MaxListRecords) {
        if (error)
            *error = TTexts::tr("В отчет попало бы %1 записей, а в нем помещается не больше %2: "
                                "сузьте отбор.")
                         .arg(total)
                         .arg(MaxListRecords);
        return false;
    }
    QString problem;
    const std::vector<TTestRecord> records =
        database.LoadAll(filter, nullptr, MaxListRecords, &problem);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    // The list closes with the statistics of the same records on a page of their own.
    const std::optional<TStatistics> statistics =
        TStatisticsQuery::Compute(database, filter, TStatisticsGrouping::Day, error);
    if (!statistics)
        return false;
    if (count)
        *count = int(records.size());
    return Print(ListHtml(records, FilterText(filter), &*statistics), TTexts::tr("Журнал проверок"),
                 path, true, error);
}

QString TRecordReport::FilterText(const TRecordFilter& f) {
    QStringList parts;
    if (f.From.isValid())
        parts << TTexts::tr("с %1").arg(Time(f.From));
    if (f.To.isValid())
        parts << TTexts::tr("до %1").arg(Time(f.To));
    if (!f.Serial.trimmed().isEmpty())
        parts << TTexts::tr("серийный номер %1").arg(f.Serial.trimmed());
    if (!f.Project.trimmed().isEmpty())
        parts << TTexts::tr("проект %1").arg(f.Project.trimmed());
    if (!f.Operator.trimmed().isEmpty())
        parts << TTexts::tr("оператор %1").arg(f.Operator.trimmed());
    if (!f.Station.trimmed().isEmpty())
        parts << TTexts::tr("станция %1").arg(f.Station.trimmed());
    if (f.Verdict != TRecordFilter::TVerdict::Any)
        parts << TCheckResult::VerdictText(f.Verdict == TRecordFilter::TVerdict::Good);
    return parts.isEmpty() ? TTexts::tr("все записи") : parts.join(QLatin1String(", "));
}
