// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TStatistics.h"

#include <QImage>
#include <QString>

// The statistics page of the printed report (A4, PDF): the filter, the checks and the yields,
// the breakdown, the charts, the contacts most named, the faults by kind and the harnesses
// failed again and again. QtGui only, as the records' report.
class TStatisticsReport {
  public:
    // The whole page as HTML; `withCharts`: with the charts' picture, the document's resource
    // ChartsResource.
    static QString Html(const TStatistics& statistics, const QString& filterText, bool withCharts);
    // Only the faults by kind and the harnesses failed again and again (the tab shows them so).
    static QString KindsHtml(const TStatistics& statistics);
    // Written whole through a temporary file; false with the reason.
    static bool Write(const TStatistics& statistics, const QString& filterText,
                      const QImage& charts, const QString& path, QString* error = nullptr);

    // How many contacts the page lists (the Pareto list's head).
    static constexpr int PageContacts = 20;
    static constexpr const char* ChartsResource = "pinvel://statistics-charts.png";
};
