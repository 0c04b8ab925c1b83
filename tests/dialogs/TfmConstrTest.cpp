// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmConstr.h"
#include "AppMessageBox.h"
#include "TRadioGroup.h"
#include "TRazem.h"
#include "TStringGrid.h"
#include "TUpDown.h"
#include "TWorkPlace.h"
#include "TfmSootvErr.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {
const QString General =
    QStringLiteral("Один или несколько параметров заданы неверно или не заданы!");
const QString Taken = QStringLiteral("Разъем с таким именем уже существует!");

// Records every message and answers them from a script (Yes when the script is empty).
struct TMessages {
    QStringList Texts;
    QList<TMsgAnswer> Answers;
    TMessages() {
        SetAppMessageBoxHook([this](const QString& text, TMsgKind) {
            Texts.append(text);
            return Answers.isEmpty() ? TMsgAnswer::Yes : Answers.takeFirst();
        });
    }
    ~TMessages() { SetAppMessageBoxHook({}); }
};

std::unique_ptr<TRazem> MakeRazem(const QString& name, std::vector<TRowInfo> rows) {
    auto k = std::make_unique<TRazem>();
    k->SetRazName(name);
    k->FRows = std::move(rows);
    k->SetRowCount(int(k->FRows.size()) * 2);
    k->SetColCount(k->ColumnsNeeded());
    k->SetButtSize(1);
    k->ClearPositions();
    return k;
}
} // namespace

class TfmConstrTest : public QObject {
    Q_OBJECT

    // Types as the keyboard does; characters beyond ASCII travel as the key's text.
    static void TypeText(QWidget* w, const QString& text) {
        for (QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(w, ch.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(ch), {});
                QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(ch), {});
            }
        }
    }
    // Types into a cell of the row table as the user does: click it, replace its text.
    static void TypeCell(TfmConstr& dlg, int col, int row, const QString& text) {
        TStringGrid* g = dlg.sgRowInfo;
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        g->scrollToItem(g->item(row, col));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(col, row).center());
        QCOMPARE(g->currentRow(), row);
        QCOMPARE(g->currentColumn(), col);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor == nullptr || !g->isAncestorOf(editor)) {
            QTest::keyClick(g, Qt::Key_F2);
            editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        }
        QVERIFY(editor != nullptr && g->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        TypeText(editor, text);
        QCOMPARE(g->Cells(col, row), text);
    }
    static void TypeRowCount(TfmConstr& dlg, const QString& text) {
        dlg.edRowCount->selectAll();
        QTest::keyClicks(dlg.edRowCount, text);
    }
    static void Show(TfmConstr& dlg) {
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
    }
    static QStringList Row(TfmConstr& dlg, int row) {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << dlg.sgRowInfo->Cells(c, row);
        return cells;
    }
    static void PressOK(TfmConstr& dlg) { QTest::mouseClick(dlg.btOK, Qt::LeftButton); }

  private slots:
    void freshDialogProposesNameAndNeedsACount() {
        TWorkPlace wp;
        TMessages msgs;
        TfmConstr dlg(&wp);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Добавление разъема"));
        QCOMPARE(dlg.edName->text(), QStringLiteral("XT0"));
        QCOMPARE(dlg.edRowCount->text(), QStringLiteral("1"));
        QCOMPARE(dlg.ButtSize(), 1);
        QCOMPARE(dlg.sgRowInfo->Cells(0, 0), QStringLiteral("Ряд №"));
        QCOMPARE(dlg.sgRowInfo->Cells(6, 0), QStringLiteral("Приращение в имени"));
        const int widths[] = {46, 126, 97, 77, 56, 74, 114};
        for (int c = 0; c < 7; ++c)
            QCOMPARE(dlg.sgRowInfo->columnWidth(c), widths[c]);
        Show(dlg);
        QCOMPARE(dlg.sgRowInfo->rowCount(), 2);
        QCOMPARE(Row(dlg, 1), (QStringList{"1", "", "1", "1", "a", "1", "1"}));

        PressOK(dlg);
        QCOMPARE(msgs.Texts, QStringList{General});
        QVERIFY(dlg.isVisible());
        QVERIFY(wp.Modified);

        // Tab goes from the count to the next cells of the row, never onto a fixed cell.
        TypeCell(dlg, 1, 1, QStringLiteral("4"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(dlg.sgRowInfo->currentColumn(), 2);
        dlg.sgRowInfo->setCurrentCell(1, 6);
        QTest::keyClick(dlg.sgRowInfo, Qt::Key_Tab);
        QCOMPARE(dlg.sgRowInfo->currentColumn(), 1); // wraps to the first row, past column 0
        PressOK(dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(msgs.Texts.size(), 1);
        QCOMPARE(dlg.RowCount(), 1);
        QCOMPARE(dlg.Rows(), (std::vector<TRowInfo>{{4, 1, 1, 1, 1, QStringLiteral("a")}}));
        QCOMPARE(dlg.RazName(), QStringLiteral("XT0"));
    }

    void rowCountChangeKeepsRowsAndAddsDefaults() {
        TWorkPlace wp;
        wp.Add(MakeRazem("XT0", {{1, 1, 1, 1, 1, "a"}}));
        wp.Add(MakeRazem("XT1", {{1, 1, 1, 1, 1, "a"}}));
        wp.Add(MakeRazem("XT2", {{1, 1, 1, 1, 1, "a"}}));
        TfmConstr dlg(&wp);
        QCOMPARE(dlg.edName->text(), QStringLiteral("XT3"));
        Show(dlg);
        TypeCell(dlg, 1, 1, "5");
        TypeCell(dlg, 4, 1, "x");
        QTest::mouseClick(dlg.udRows->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.udRows->UpButton(), Qt::LeftButton);
        QCOMPARE(dlg.edRowCount->text(), QStringLiteral("3"));
        QCOMPARE(dlg.sgRowInfo->rowCount(), 4);
        QCOMPARE(Row(dlg, 1), (QStringList{"1", "5", "1", "1", "x", "1", "1"}));
        QCOMPARE(Row(dlg, 2), (QStringList{"2", "", "1", "1", "b", "1", "1"}));
        QCOMPARE(Row(dlg, 3), (QStringList{"3", "", "1", "1", "c", "1", "1"}));
        // Text that is no number changes nothing; the stepper stays within 1..100.
        TypeRowCount(dlg, "z");
        QCOMPARE(dlg.sgRowInfo->rowCount(), 4);
        TypeRowCount(dlg, "100");
        QTest::mouseClick(dlg.udRows->UpButton(), Qt::LeftButton);
        QCOMPARE(dlg.edRowCount->text(), QStringLiteral("100"));
        QCOMPARE(dlg.sgRowInfo->Cells(4, 27), QStringLiteral("aa"));
        QCOMPARE(TfmConstr::DefaultPrefix(26), QStringLiteral("z"));
        QCOMPARE(TfmConstr::DefaultPrefix(53), QStringLiteral("ba"));
    }

    void repeatedNamesAreListedInOrder() {
        TWorkPlace wp;
        TMessages msgs;
        TfmConstr dlg(&wp);
        Show(dlg);
        TypeRowCount(dlg, "2");
        TypeCell(dlg, 1, 1, "2");
        TypeCell(dlg, 1, 2, "2");
        TypeCell(dlg, 4, 2, "a");
        QStringList listed;
        QTimer::singleShot(0, this, [&] {
            auto* err = qobject_cast<TfmSootvErr*>(QApplication::activeModalWidget());
            QVERIFY(err != nullptr);
            QCOMPARE(err->windowTitle(), QStringLiteral("Ошибки"));
            listed = err->Names();
            QTest::mouseClick(err->btOK, Qt::LeftButton);
        });
        PressOK(dlg);
        QCOMPARE(listed, (QStringList{"a1", "a2"}));
        QCOMPARE(msgs.Texts.size(), 2);
        QVERIFY(msgs.Texts[0].startsWith("При заданной конфигурации разъема некоторые контакты"));
        QCOMPARE(msgs.Texts[1], General);
        QVERIFY(dlg.isVisible());

        // Letter case does not tell names apart, Cyrillic included; "No" skips the list.
        TypeCell(dlg, 4, 1, "Я");
        TypeCell(dlg, 4, 2, "я");
        msgs.Texts.clear();
        msgs.Answers = {TMsgAnswer::No};
        QCOMPARE(dlg.RepeatedNames(), (QStringList{"я1", "я2"}));
        PressOK(dlg);
        QCOMPARE(msgs.Texts.size(), 2);
        TypeCell(dlg, 4, 2, "b");
        PressOK(dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void takenNameFailsExceptTheEditedConnectorsOwn() {
        TWorkPlace wp;
        wp.Add(MakeRazem("XT0", {{3, 1, 1, 1, 1, "a"}, {2, 2, 1, 5, -1, "b"}}));
        wp.Add(MakeRazem("XT1", {{1, 1, 1, 1, 1, "a"}}));
        TMessages msgs;
        {
            TfmConstr dlg(&wp);
            Show(dlg);
            TypeCell(dlg, 1, 1, "1");
            dlg.edName->setText("XT0");
            PressOK(dlg);
            QCOMPARE(msgs.Texts, (QStringList{Taken, General}));
        }
        wp.SelectedRazem = 0;
        // Adding while a connector is selected: its name is taken all the same, since two
        // connectors of one name would make the correspondence grids ambiguous.
        {
            msgs.Texts.clear();
            TfmConstr dlg(&wp);
            Show(dlg);
            TypeCell(dlg, 1, 1, "1");
            dlg.edName->setText("XT0");
            PressOK(dlg);
            QCOMPARE(msgs.Texts, (QStringList{Taken, General}));
            QVERIFY(dlg.isVisible());
        }
        TfmConstr dlg(&wp);
        dlg.PrepareEdit(*wp.Razem(0));
        Show(dlg);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Параметры разъема"));
        QCOMPARE(Row(dlg, 2), (QStringList{"2", "2", "2", "1", "b", "5", "-1"}));
        msgs.Texts.clear();
        dlg.edName->setText("XT1");
        PressOK(dlg);
        QCOMPARE(msgs.Texts, (QStringList{Taken, General}));
        dlg.edName->setText("XT0");
        PressOK(dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Rows(), wp.Razem(0)->FRows);
        QCOMPARE(dlg.RowCount(), 2);
    }

    // The connector's last position is 101: a row that ends there passes.
    void rowEndingOnTheLastPositionPasses_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("step");
        QTest::newRow("two from 100") << "2"
                                      << "100"
                                      << "1";
        QTest::newRow("one on 101") << "1"
                                    << "101"
                                    << "1";
        QTest::newRow("101 from 1") << "101"
                                    << "1"
                                    << "1";
        QTest::newRow("six by 20") << "6"
                                   << "1"
                                   << "20";
    }
    void rowEndingOnTheLastPositionPasses() {
        QFETCH(QString, count);
        QFETCH(QString, first);
        QFETCH(QString, step);
        TWorkPlace wp;
        TMessages msgs;
        TfmConstr dlg(&wp);
        Show(dlg);
        TypeCell(dlg, 1, 1, count);
        TypeCell(dlg, 2, 1, first);
        TypeCell(dlg, 3, 1, step);
        PressOK(dlg);
        QVERIFY2(msgs.Texts.isEmpty(), qPrintable(msgs.Texts.join(QLatin1Char('\n'))));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void rangesTheConnectorCannotHoldAreRefused_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rowCount");
        QTest::addColumn<QString>("expected");
        QTest::newRow("step") << 3 << "0"
                              << "2"
                              << "Ряд 2, столбец \"Приращение\"";
        QTest::newRow("first") << 2 << "0"
                               << "2"
                               << "Ряд 2, столбец \"Первый контакт\"";
        QTest::newRow("past 101") << 2 << "100"
                                  << "2"
                                  << "позицию 102";
        QTest::newRow("negative count") << 1 << "-1"
                                        << "2"
                                        << "отрицательным";
        QTest::newRow("51 rows") << 1 << "3"
                                 << "51"
                                 << "не более 50 рядов";
        QTest::newRow("prefix") << 4 << QString::fromUtf8("☃") << "2"
                                << "\"Имя ряда\": символ";
        QTest::newRow("name") << -1 << QString::fromUtf8("XT€☃") << "2"
                              << "символ \"☃\"";
    }
    void rangesTheConnectorCannotHoldAreRefused() {
        QFETCH(int, col);
        QFETCH(QString, value);
        QFETCH(QString, rowCount);
        QFETCH(QString, expected);
        TWorkPlace wp;
        TMessages msgs;
        TfmConstr dlg(&wp);
        Show(dlg);
        TypeRowCount(dlg, rowCount);
        TypeCell(dlg, 1, 1, "2");
        TypeCell(dlg, 1, 2, "3");
        for (int r = 3; r < dlg.sgRowInfo->rowCount(); ++r)
            dlg.sgRowInfo->SetCells(1, r, "1");
        if (col < 0)
            dlg.edName->setText(value);
        else if (col != 1 || value != "3")
            TypeCell(dlg, col, 2, value);
        PressOK(dlg);
        QCOMPARE(msgs.Texts.size(), 2);
        QVERIFY2(msgs.Texts[0].contains(expected), qPrintable(msgs.Texts[0]));
        QCOMPARE(msgs.Texts[1], General);
        QVERIFY(dlg.isVisible());
    }
};

QTEST_MAIN(TfmConstrTest)
#include "TfmConstrTest.moc"
