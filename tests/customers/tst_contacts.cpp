#include <QtTest>
class T : public QObject { Q_OBJECT private slots: void a() {} };
QTEST_MAIN(T)
#include "tst_contacts.moc"
