#include "MainWindowTestKit.h"
#include <QTest>
class TCheckControllerTest : public QObject {
    Q_OBJECT private slots : void none() {}
};
QTEST_MAIN(TCheckControllerTest)
#include "TCheckControllerTest.moc"
