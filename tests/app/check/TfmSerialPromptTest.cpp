// SPDX-License-Identifier: GPL-3.0-or-later
// The serial number and operator asked before a verify, as a barcode scanner answers it: it
// types into whatever has the focus and presses Enter; no mouse.

#include "TfmSerialPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

class TfmSerialPromptTest : public QObject {
    Q_OBJECT

    // Runs the dialog modally and plays `keys` into the focused widget once it shows.
    static bool AskWithKeys(QString& serial, QString& oper,
                            const std::function<void(TfmSerialPrompt&)>& keys) {
        bool played = false;
        QTimer::singleShot(0, [&] {
            auto* prompt = qobject_cast<TfmSerialPrompt*>(QApplication::activeModalWidget());
            if (!prompt)
                return;
            played = QTest::qWaitForWindowActive(prompt);
            keys(*prompt);
            if (prompt->isVisible()) { // a failed step above must not leave it waiting
                played = false;
                prompt->reject();
            }
        });
        const bool ok = TfmSerialPrompt::Ask(nullptr, serial, oper);
        return ok && played;
    }

  private slots:
    void aScanReplacesTheLastNumberAndEnterAccepts() {
        QString serial = "SN-0001";
        QString oper = "Иванов";
        QVERIFY(AskWithKeys(serial, oper, [](TfmSerialPrompt& p) {
            QVERIFY(p.edSerial->hasFocus());
            QCOMPARE(p.edSerial->selectedText(), QString("SN-0001"));
            QTest::keyClicks(QApplication::focusWidget(), "SN-0002");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }));
        QCOMPARE(serial, QString("SN-0002"));
        QCOMPARE(oper, QString("Иванов"));
    }

    void enterAloneKeepsTheHarness() {
        QString serial = " SN-0002 ";
        QString oper = "Иванов";
        QVERIFY(AskWithKeys(serial, oper, [](TfmSerialPrompt&) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        }));
        QCOMPARE(serial, QString("SN-0002"));
    }

    void anEmptyFieldTakesTheFocusInsteadOfAccepting() {
        QString serial;
        QString oper;
        QVERIFY(AskWithKeys(serial, oper, [](TfmSerialPrompt& p) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(p.isVisible());
            QVERIFY(p.edSerial->hasFocus()); // nothing to accept yet
            QTest::keyClicks(QApplication::focusWidget(), "K-17");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(p.isVisible());
            QVERIFY(p.edOperator->hasFocus()); // the operator is needed too
            // Typed in Cyrillic (the key simulator knows Latin keys only).
            p.edOperator->insert("  Петров ");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }));
        QCOMPARE(serial, QString("K-17"));
        QCOMPARE(oper, QString("Петров"));
    }

    void escapeCancels() {
        QString serial = "A";
        QString oper = "B";
        QVERIFY(!AskWithKeys(serial, oper, [](TfmSerialPrompt&) {
            QTest::keyClicks(QApplication::focusWidget(), "C");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }));
        QCOMPARE(serial, QString("A"));
    }
};

QTEST_MAIN(TfmSerialPromptTest)
#include "TfmSerialPromptTest.moc"
