// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRazemRecord.h"

#include "TErrors.h"
#include "TRazem.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"

#include <QCoreApplication>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRazemRecord)
};

constexpr qint64 kContactSize = 13;
constexpr qint64 kRowInfoSize = 24; // five int32 and an empty counted string

// The grid counts a record may hold. ColCount is any column count the contact array has room
// for. RowCount is twice the number of contact rows, so it is even; the one odd value allowed
// is the grid's default 5, which a block without RowCount implies.
void CheckGridProperty(TStreamReader& r, qint64 at, const TComponentProperty& p) {
    const bool isRows = p.Name == QLatin1String("RowCount");
    if (!p.Value.IsInteger())
        r.FailAt(at, TTexts::tr("свойство «%1» должно быть целым числом").arg(p.Name));
    const qint64 v = p.Value.Int;
    const int limit = isRows ? TRazem::MaxGridRows : TRazem::MaxCols;
    if (v < 0 || v > limit)
        r.FailAt(at, TTexts::tr("значение %1 свойства «%2» вне пределов 0..%3")
                         .arg(QString::number(v), p.Name, QString::number(limit)));
    if (isRows && v % 2 != 0 && v != TRazemRecord::DefaultGridCount)
        r.FailAt(at,
                 TTexts::tr("нечетное число строк сетки %1: у каждого ряда контактов две строки")
                     .arg(v));
}

} // namespace

int TRazemRecord::GridValue(const char* name, int absent) const {
    const TComponentProperty* p = Component.Find(QLatin1String(name));
    if (p == nullptr || !p->Value.IsInteger())
        return absent;
    return int(std::clamp<qint64>(p->Value.Int, INT32_MIN, INT32_MAX));
}

void TRazemRecord::WriteToStream(TStreamWriter& w) const {
    const int cols = ColCount();
    const int rows = RowCount();
    if (cols < 0 || rows < 0 || cols > TRazem::MaxCols || rows > TRazem::MaxGridRows ||
        Rows.size() != std::size_t(rows / 2) ||
        Cells.size() != std::size_t(cols) * std::size_t(rows))
        throw EFileError(TTexts::tr("Разъем «%1»: ряды или контакты не соответствуют размеру сетки "
                                    "%2 x %3.")
                             .arg(Name, QString::number(cols), QString::number(rows)));
    TComponentStream::Write(w, Component);
    w.WriteInt32(ButtSize);
    w.WriteInt32(Index);
    w.WriteString(Name);
    w.WriteInt32(std::int32_t(NameList.size()));
    for (const QString& n : NameList)
        w.WriteString(n);
    for (const TRowInfo& d : Rows) {
        w.WriteInt32(d.Count);
        w.WriteInt32(d.First);
        w.WriteInt32(d.Step);
        w.WriteInt32(d.FirstNum);
        w.WriteInt32(d.NumStep);
        w.WriteString(d.Prefix);
    }
    for (const TContactRecord& c : Cells) {
        w.WriteUInt8(c.State);
        w.WriteInt32(c.NameIndex);
        w.WriteUInt32(c.IndColor);
        w.WriteUInt32(c.ButtColor);
    }
}

TRazemRecord TRazemRecord::ReadFromStream(TStreamReader& r, int expectedIndex) {
    TRazemRecord rec;
    const qint64 blockAt = r.Pos();
    rec.Component = TComponentStream::Read(r);
    for (const TComponentProperty& p : rec.Component.Properties) {
        if (p.Name == QLatin1String("ColCount") || p.Name == QLatin1String("RowCount"))
            CheckGridProperty(r, blockAt, p);
        else if ((p.Name == QLatin1String("Left") || p.Name == QLatin1String("Top")) &&
                 !(p.Value.IsInteger() && p.Value.Int >= INT32_MIN && p.Value.Int <= INT32_MAX))
            r.FailAt(blockAt, TTexts::tr("свойство «%1» должно быть целым числом").arg(p.Name));
    }
    const int cols = rec.ColCount();
    const int rows = rec.RowCount();

    qint64 at = r.Pos();
    rec.ButtSize = r.ReadInt32();
    if (rec.ButtSize < 0 || rec.ButtSize > 2)
        r.FailAt(at,
                 TTexts::tr("неизвестный размер кнопок %1 (допустимы 0, 1 и 2)").arg(rec.ButtSize));
    at = r.Pos();
    rec.Index = r.ReadInt32();
    if (rec.Index != expectedIndex)
        r.FailAt(at, TTexts::tr("номер разъема %1 не совпадает с его местом в файле (%2)")
                         .arg(rec.Index)
                         .arg(expectedIndex));
    rec.Name = r.ReadString();
    const std::int32_t k = r.ReadCount(4, TTexts::tr("число имен контактов"));
    rec.NameList.reserve(k);
    for (std::int32_t i = 0; i < k; ++i)
        rec.NameList.append(r.ReadString());

    if (qint64(rows / 2) * kRowInfoSize + qint64(rows) * cols * kContactSize > r.Remaining())
        r.Fail(TTexts::tr("файл обрывается: рядов %1 и контактов %2 x %3 в нем не помещается")
                   .arg(rows / 2)
                   .arg(cols)
                   .arg(rows));
    rec.Rows.resize(std::size_t(rows / 2));
    for (int i = 0; i < rows / 2; ++i) {
        at = r.Pos();
        TRowInfo& d = rec.Rows[std::size_t(i)];
        d.Count = r.ReadInt32();
        d.First = r.ReadInt32();
        d.Step = r.ReadInt32();
        d.FirstNum = r.ReadInt32();
        d.NumStep = r.ReadInt32();
        d.Prefix = r.ReadString();
        // The same rules the connector keeps when it builds names: every contact in the array.
        const bool bad =
            d.Count < 0 ||
            (d.Count > 0 && (d.First < 1 || (d.Count > 1 && d.Step < 1) ||
                             qint64(d.First) + qint64(d.Count - 1) * d.Step > TRazem::MaxCols));
        if (bad)
            r.FailAt(at, TTexts::tr("описание ряда %1 ставит контакты вне разъема (количество %2, "
                                    "первый %3, приращение %4)")
                             .arg(i + 1)
                             .arg(d.Count)
                             .arg(d.First)
                             .arg(d.Step));
    }

    const int names = std::max<int>(int(rec.NameList.size()), 1);
    rec.Cells.resize(std::size_t(rows) * std::size_t(cols));
    for (int g = 0; g < rows; ++g)
        for (int c = 0; c < cols; ++c) {
            at = r.Pos();
            TContactRecord& t = rec.Cells[std::size_t(g) * std::size_t(cols) + std::size_t(c)];
            t.State = r.ReadUInt8();
            t.NameIndex = r.ReadInt32();
            t.IndColor = r.ReadUInt32();
            t.ButtColor = r.ReadUInt32();
            // Odd grid rows carry no data and are kept as stored.
            if (g % 2 != 0)
                continue;
            if (t.State > std::uint8_t(TContactState::csGenerator))
                r.FailAt(at, TTexts::tr("неизвестное состояние %1 контакта (столбец %2, строка %3)")
                                 .arg(t.State)
                                 .arg(c)
                                 .arg(g));
            if (t.NameIndex < -1 || t.NameIndex >= names)
                r.FailAt(at,
                         TTexts::tr("номер имени %1 контакта (столбец %2, строка %3) вне списка "
                                    "из %4 имен")
                             .arg(t.NameIndex)
                             .arg(c)
                             .arg(g)
                             .arg(rec.NameList.size()));
        }
    return rec;
}
