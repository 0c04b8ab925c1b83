// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProjectFile.h"

#include "TStreamReader.h"
#include "TStreamWriter.h"

#include <QCoreApplication>

namespace {
// The workspace's texts: one message for one fault whichever way the file is read.
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TWorkPlace)
};
constexpr qint64 kMinRazemRecord = 24;
} // namespace

std::vector<TRazemExtent> TProjectFile::Extents() const {
    std::vector<TRazemExtent> out;
    out.reserve(Razems.size());
    for (const TRazemRecord& r : Razems)
        out.push_back({r.ColCount(), r.RowCount()});
    return out;
}

TProjectFile TProjectFile::Read(const QByteArray& image) {
    TProjectFile project;
    TStreamReader r(image);
    const std::int32_t count = r.ReadCount(kMinRazemRecord, TTexts::tr("число разъемов"));
    project.Razems.reserve(std::size_t(count));
    for (std::int32_t i = 0; i < count; ++i) {
        r.SetContext(TTexts::tr("разъем %1").arg(i + 1));
        project.Razems.push_back(TRazemRecord::ReadFromStream(r, i));
    }
    const std::vector<TRazemExtent> extents = project.Extents();
    r.SetContext(QString());
    const std::int32_t records =
        r.ReadCount(15, QCoreApplication::translate("TSootv", "число соответствий"));
    for (std::int32_t k = 0; k < records; ++k) {
        r.SetContext(QCoreApplication::translate("TSootv", "соответствие %1").arg(k + 1));
        project.Sootv.push_back(std::move(*TSootvData::ReadFromStream(r, extents)));
    }
    r.SetContext(QString());
    if (!r.AtEnd())
        r.Fail(TTexts::tr("после последней записи соответствий лишние данные: %1 байт")
                   .arg(r.Remaining()));
    return project;
}

QByteArray TProjectFile::Write() const {
    TStreamWriter w;
    w.WriteInt32(std::int32_t(Razems.size()));
    for (const TRazemRecord& r : Razems)
        r.WriteToStream(w);
    w.WriteInt32(std::int32_t(Sootv.size()));
    for (const TSootvData& s : Sootv)
        s.WriteToStream(w);
    return w.TakeData();
}
