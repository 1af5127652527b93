#pragma once
// Finding and working the controls of a window in tests, as an operator would.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <type_traits>
#include <vector>

namespace qv::test {

// Stand-ins for controls a test looked for and did not find: the failure is recorded for the test
// case and the test goes on working a hidden, unconnected control instead of crashing the executable.
template <class T>
T* standIn() {
    using Made = std::conditional_t<std::is_same_v<T, QAbstractButton>, QPushButton, T>;
    static std::vector<QObject*>* made = nullptr;
    if (!made) {
        // Deleted while the application object still exists, as widgets must be.
        made = new std::vector<QObject*>;
        qAddPostRoutine([] {
            for (QObject* o : *made) delete o;
            delete made;
            made = nullptr;
        });
    }
    auto* t = new Made;
    made->push_back(t);
    return t;
}

// The control of that objectName; a missing one (a renamed control) fails the test case.
template <class T>
T* child(QObject& w, const QString& name) {
    if (T* c = w.findChild<T*>(name)) return c;
    QTest::qFail(qPrintable(QStringLiteral("no control %1 of type %2 in %3")
                                .arg(name, QLatin1String(T::staticMetaObject.className()), w.objectName())),
                 __FILE__, __LINE__);
    return standIn<T>();
}
template <class T>
T* child(QObject& w, const char* name) {
    return child<T>(w, QLatin1String(name));
}

// The text an entry shows: line edit, drop-down or memo.
inline QString textOf(QWidget& d, const QString& name) {
    if (auto* e = d.findChild<QLineEdit*>(name)) return e->text();
    if (auto* c = d.findChild<QComboBox*>(name)) return c->currentText();
    if (auto* m = d.findChild<QPlainTextEdit*>(name)) return m->toPlainText();
    return child<QLineEdit>(d, name)->text();
}

// Replaces the text of an entry as the operator would: keys for plain characters, the input method's
// insertion for other text.
inline void type(QWidget& d, const QString& name, const QString& text) {
    QLineEdit* e = d.findChild<QLineEdit*>(name);
    if (!e) {
        if (auto* c = d.findChild<QComboBox*>(name)) e = c->lineEdit();
    }
    if (!e) {
        auto* m = child<QPlainTextEdit>(d, name);
        m->selectAll();
        m->insertPlainText(text);
        return;
    }
    e->selectAll();
    e->del();
    const bool plain = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; });
    if (plain)
        QTest::keyClicks(e, text);
    else
        e->insert(text);
}

// Clicks an enabled button (a disabled one fails the test).
inline void click(QWidget& d, const QString& name) {
    auto* b = child<QAbstractButton>(d, name);
    QVERIFY2(b->isEnabled(), qPrintable(name + QStringLiteral(" is disabled")));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(3, b->height() / 2));
}

}  // namespace qv::test
