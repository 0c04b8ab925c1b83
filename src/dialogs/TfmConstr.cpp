// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmConstr.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "CreateFormPlaced.h"
#include "TFormPlacement.h"
#include "TRadioGroup.h"
#include "TRazem.h"
#include "TStringGrid.h"
#include "TUpDown.h"
#include "TWin1251.h"
#include "TWorkPlace.h"
#include "TfmSootvErr.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMultiHash>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int ColWidths[7] = {46, 126, 97, 77, 56, 74, 114};
} // namespace

TfmConstr::TfmConstr(TWorkPlace* workPlace, QWidget* parent)
    : QDialog(parent), lbName(new QLabel(tr("Название разъема"), this)),
      edName(new QLineEdit(this)), lbRowCount(new QLabel(tr("Количество рядов:"), this)),
      edRowCount(new QLineEdit(QStringLiteral("1"), this)), udRows(new TUpDown(this)),
      rgButtSize(new TRadioGroup(tr("Размер разъема"), {tr("Малый"), tr("Средний"), tr("Большой")},
                                 3, this)),
      lbPosParams(new QLabel(tr("__Позиционные параметры__"), this)),
      lbNameParams(new QLabel(tr("____Параметры имен контактов ряда____"), this)),
      sgRowInfo(new TStringGrid(7, 2, 1, 1, this)), btOK(new QPushButton(tr("OK"), this)),
      btCancel(new QPushButton(tr("Отмена"), this)), FWorkPlace(workPlace) {
    setObjectName(QStringLiteral("fmConstr"));
    setWindowTitle(tr("Добавление разъема"));
    SetHelpContext(this, HelpContext::Constr);
    new TFormPlacement(this);

    edRowCount->setFixedWidth(50);
    udRows->SetAssociate(edRowCount);
    udRows->SetRange(1, MaxRowCount);
    udRows->SetPosition(1);
    rgButtSize->SetItemIndex(1);

    sgRowInfo->setObjectName(QStringLiteral("sgRowInfo"));
    sgRowInfo->SetCellsEditable(true);
    sgRowInfo->setEditTriggers(QAbstractItemView::AllEditTriggers);
    sgRowInfo->setTabKeyNavigation(true);
    sgRowInfo->setWordWrap(true);
    const QStringList headers = {
        tr("Ряд №"),    tr("Количество контактов"), tr("Первый контакт"),    tr("Приращение"),
        tr("Имя ряда"), tr("Имя первого"),          tr("Приращение в имени")};
    int tableWidth = 0;
    for (int c = 0; c < 7; ++c) {
        sgRowInfo->setColumnWidth(c, ColWidths[c]);
        sgRowInfo->SetCells(c, 0, headers[c]);
        tableWidth += ColWidths[c];
    }
    sgRowInfo->setRowHeight(0, 36); // two lines for the longer header texts
    sgRowInfo->setFixedSize(tableWidth + 2 * sgRowInfo->frameWidth() + 18, 220);
    sgRowInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgRowInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &TfmConstr::btOKClick);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edRowCount, &QLineEdit::textChanged, this, [this] {
        if (FRowCountChangeAttached)
            RowCountChange();
    });

    auto* top = new QGridLayout();
    top->addWidget(lbName, 0, 0);
    top->addWidget(edName, 1, 0);
    top->addWidget(lbRowCount, 0, 1);
    auto* countBox = new QHBoxLayout();
    countBox->setSpacing(0);
    countBox->addWidget(edRowCount);
    countBox->addWidget(udRows);
    countBox->addStretch();
    top->addLayout(countBox, 1, 1);
    top->addWidget(rgButtSize, 0, 2, 2, 1);

    // The two captions stand above their groups of columns.
    auto* captions = new QHBoxLayout();
    captions->setSpacing(0);
    captions->addSpacing(ColWidths[0] + sgRowInfo->frameWidth());
    lbPosParams->setFixedWidth(ColWidths[1] + ColWidths[2] + ColWidths[3]);
    lbNameParams->setFixedWidth(ColWidths[4] + ColWidths[5] + ColWidths[6]);
    lbPosParams->setAlignment(Qt::AlignCenter);
    lbNameParams->setAlignment(Qt::AlignCenter);
    captions->addWidget(lbPosParams);
    captions->addWidget(lbNameParams);
    captions->addStretch();

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(captions);
    layout->addWidget(sgRowInfo);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (FWorkPlace != nullptr)
        edName->setText(QStringLiteral("XT") + QString::number(FWorkPlace->Count()));
}

TfmConstr::~TfmConstr() = default;

bool TfmConstr::StrToInt(const QString& text, int* value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok && value != nullptr)
        *value = v;
    return ok;
}

QString TfmConstr::DefaultPrefix(int row) {
    static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    if (row < 1)
        return {};
    QString prefix;
    for (int n = row; n > 0; n = (n - 1) / 26)
        prefix.prepend(letters[(n - 1) % 26]);
    return prefix;
}

void TfmConstr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Showing the dialog runs the row-count change once (the edit command's skip flag takes it).
    if (!FShownOnce) {
        FShownOnce = true;
        if (FRowCountChangeAttached)
            RowCountChange();
    }
}

void TfmConstr::RowCountChange() {
    if (FSkip) {
        FSkip = false;
        return;
    }
    int n = 0;
    if (!StrToInt(edRowCount->text(), &n))
        return;
    // Counts the stepper cannot offer never build a table; OK refuses them.
    if (n < 0 || n > MaxRowCount)
        return;
    sgRowInfo->SetRowCount(n + 1);
    for (int r = 1; r <= n; ++r) {
        sgRowInfo->SetCells(ColRow, r, QString::number(r));
        const QString defaults[] = {QStringLiteral("1"), QStringLiteral("1"), DefaultPrefix(r),
                                    QStringLiteral("1"), QStringLiteral("1")};
        for (int c = ColFirst; c <= ColNumStep; ++c)
            if (sgRowInfo->Cells(c, r).isEmpty())
                sgRowInfo->SetCells(c, r, defaults[c - ColFirst]);
    }
}

int TfmConstr::RowCount() const {
    int n = 0;
    return StrToInt(edRowCount->text(), &n) ? n : 0;
}

bool TfmConstr::ReadRow(int row, TRowInfo* info) const {
    TRowInfo d;
    const bool ok = StrToInt(sgRowInfo->Cells(ColCount, row), &d.Count) &&
                    StrToInt(sgRowInfo->Cells(ColFirst, row), &d.First) &&
                    StrToInt(sgRowInfo->Cells(ColStep, row), &d.Step) &&
                    StrToInt(sgRowInfo->Cells(ColFirstNum, row), &d.FirstNum) &&
                    StrToInt(sgRowInfo->Cells(ColNumStep, row), &d.NumStep);
    d.Prefix = sgRowInfo->Cells(ColPrefix, row);
    if (ok && info != nullptr)
        *info = d;
    return ok;
}

std::vector<TRowInfo> TfmConstr::Rows() const {
    const int n = std::max(RowCount(), 0);
    std::vector<TRowInfo> rows(std::size_t(n), TRowInfo{0, 0, 0, 0, 0, QString()});
    const int last = std::min(n, sgRowInfo->rowCount() - 1);
    for (int r = 1; r <= last; ++r)
        ReadRow(r, &rows[std::size_t(r - 1)]);
    return rows;
}

QString TfmConstr::RazName() const {
    return edName->text();
}

int TfmConstr::ButtSize() const {
    return rgButtSize->ItemIndex();
}

void TfmConstr::SetRazName(const QString& name) {
    edName->setText(name);
}

void TfmConstr::SetRowCount(int count) {
    edRowCount->setText(QString::number(count));
    udRows->SetPosition(count);
}

void TfmConstr::SetButtSize(int sizeClass) {
    rgButtSize->SetItemIndex(sizeClass);
}

void TfmConstr::SetRows(const std::vector<TRowInfo>& rows) {
    const int last = std::min(int(rows.size()), sgRowInfo->rowCount() - 1);
    for (int r = 1; r <= last; ++r) {
        const TRowInfo& d = rows[std::size_t(r - 1)];
        sgRowInfo->SetCells(ColRow, r, QString::number(r));
        sgRowInfo->SetCells(ColCount, r, QString::number(d.Count));
        sgRowInfo->SetCells(ColFirst, r, QString::number(d.First));
        sgRowInfo->SetCells(ColStep, r, QString::number(d.Step));
        sgRowInfo->SetCells(ColPrefix, r, d.Prefix);
        sgRowInfo->SetCells(ColFirstNum, r, QString::number(d.FirstNum));
        sgRowInfo->SetCells(ColNumStep, r, QString::number(d.NumStep));
    }
}

void TfmConstr::PrepareEdit(const TRazem& razem) {
    SetCaption(tr("Параметры разъема"));
    SetRazName(razem.FRazName);
    SetRowCount(razem.RowCount() / 2);
    SetRowCountChangeAttached(false);
    SetButtSize(razem.FButtSize);
    SetEditMode(true);
    SetRows(razem.FRows);
    SetSkip(true);
    SetRowCountChangeAttached(true);
}

void TfmConstr::btOKClick() {
    // Every press marks the project modified, whether or not the parameters pass.
    if (FWorkPlace != nullptr)
        FWorkPlace->Modified = true;
    if (CheckParams()) {
        accept();
        return;
    }
    AppMessageBox(tr("Один или несколько параметров заданы неверно или не заданы!"),
                  TMsgKind::Warning);
}

bool TfmConstr::CheckRanges(int rowCount) {
    // The connector holds at most 50 contact rows of at most 101 positions each.
    if (rowCount < 0) {
        AppMessageBox(tr("Количество рядов не может быть отрицательным!"), TMsgKind::Warning);
        return false;
    }
    if (rowCount > TRazem::MaxContactRows) {
        AppMessageBox(
            tr("Разъем может иметь не более %1 рядов контактов!").arg(TRazem::MaxContactRows),
            TMsgKind::Warning);
        return false;
    }
    const int last = std::min(rowCount, sgRowInfo->rowCount() - 1);
    for (int r = 1; r <= last; ++r) {
        TRowInfo d;
        ReadRow(r, &d);
        QString message;
        if (d.Count < 0) {
            message = tr("Ряд %1, столбец \"%2\": количество контактов не может быть "
                         "отрицательным!");
            message = message.arg(r).arg(sgRowInfo->Cells(ColCount, 0));
        } else if (d.Count > 0 && d.First < 1) {
            message = tr("Ряд %1, столбец \"%2\": первый контакт должен стоять в позиции 1 или "
                         "дальше!");
            message = message.arg(r).arg(sgRowInfo->Cells(ColFirst, 0));
        } else if (d.Count > 1 && d.Step < 1) {
            message = tr("Ряд %1, столбец \"%2\": приращение позиции должно быть не меньше 1!");
            message = message.arg(r).arg(sgRowInfo->Cells(ColStep, 0));
        } else if (d.Count > 0) {
            const qint64 lastPos = qint64(d.First) + qint64(d.Count - 1) * d.Step;
            if (lastPos > TRazem::MaxCols) {
                message = tr("Ряд %1, столбец \"%2\": последний контакт ряда попадает в позицию "
                             "%3, а разъем вмещает не более %4 позиций!");
                message = message.arg(r)
                              .arg(sgRowInfo->Cells(ColCount, 0))
                              .arg(lastPos)
                              .arg(TRazem::MaxCols);
            }
        }
        if (!message.isEmpty()) {
            AppMessageBox(message, TMsgKind::Warning);
            return false;
        }
    }
    return true;
}

bool TfmConstr::CheckEncodable(int rowCount) {
    // Names go into the project file in Windows-1251; a character it cannot hold is refused here.
    const qsizetype bad = TWin1251::FirstUnencodable(edName->text());
    if (bad >= 0) {
        AppMessageBox(tr("Название разъема содержит символ \"%1\", который нельзя сохранить в "
                         "файле проекта!")
                          .arg(edName->text().mid(bad, 1)),
                      TMsgKind::Warning);
        return false;
    }
    const int last = std::min(rowCount, sgRowInfo->rowCount() - 1);
    for (int r = 1; r <= last; ++r) {
        const QString prefix = sgRowInfo->Cells(ColPrefix, r);
        const qsizetype at = TWin1251::FirstUnencodable(prefix);
        if (at >= 0) {
            AppMessageBox(tr("Ряд %1, столбец \"%2\": символ \"%3\" нельзя сохранить в файле "
                             "проекта!")
                              .arg(r)
                              .arg(sgRowInfo->Cells(ColPrefix, 0))
                              .arg(prefix.mid(at, 1)),
                          TMsgKind::Warning);
            return false;
        }
    }
    return true;
}

QStringList TfmConstr::RepeatedNames() const {
    QStringList generated;
    for (int r = 1; r < sgRowInfo->rowCount(); ++r) {
        TRowInfo d;
        if (!ReadRow(r, &d))
            continue;
        // The range check keeps a row within the connector's 101 positions.
        const int count = std::clamp(d.Count, 0, int(TRazem::MaxCols));
        for (int j = 0; j < count; ++j)
            generated.append(d.Prefix +
                             QString::number(qint64(d.FirstNum) + qint64(j) * d.NumStep));
    }
    // Names compare without regard to case; the folded text only narrows the search.
    QMultiHash<QString, int> seen;
    QStringList repeated;
    for (int i = 0; i < generated.size(); ++i) {
        const QString& name = generated[i];
        const QString key = name.toCaseFolded();
        bool before = false;
        for (auto it = seen.constFind(key); it != seen.constEnd() && it.key() == key; ++it)
            if (TWin1251::SameTextNoCase(generated[it.value()], name)) {
                before = true;
                break;
            }
        if (before) {
            const bool listed =
                std::any_of(repeated.cbegin(), repeated.cend(),
                            [&](const QString& s) { return TWin1251::SameTextNoCase(s, name); });
            if (!listed)
                repeated.append(name);
        } else {
            seen.insert(key, i);
        }
    }
    return repeated;
}

bool TfmConstr::CheckParams() {
    int n = 0;
    if (!StrToInt(edRowCount->text(), &n))
        return false;
    for (int r = 1; r < sgRowInfo->rowCount(); ++r)
        if (!ReadRow(r, nullptr) || edName->text().isEmpty())
            return false;
    if (!CheckRanges(n) || !CheckEncodable(n))
        return false;

    bool pass = true;
    const QStringList repeated = RepeatedNames();
    if (!repeated.isEmpty()) {
        pass = false;
        const TMsgAnswer answer = AppMessageBox(
            tr("При заданной конфигурации разъема некоторые контакты будут иметь одинаковые имена! "
               "Нажмите \"Да\" если хотите просмотреть список повторяющихся имен контактов."),
            TMsgKind::WarningQuestion);
        if (answer == TMsgAnswer::Yes) {
            auto list = CreateFormPlaced<TfmSootvErr>(repeated, this);
            list->exec();
        }
    }

    if (FWorkPlace != nullptr) {
        const QString name = edName->text();
        for (int i = 0; i < FWorkPlace->Count(); ++i) {
            const TRazem* k = FWorkPlace->Razem(i);
            if (k == nullptr || k->FRazName != name)
                continue;
            // The edited connector keeps its own name.
            if (FEditMode && i == FWorkPlace->SelectedRazem)
                continue;
            AppMessageBox(tr("Разъем с таким именем уже существует!"), TMsgKind::Error);
            pass = false;
            break;
        }
    }
    return pass;
}
