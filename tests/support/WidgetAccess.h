#pragma once
// Finding and working the controls of a window in tests, as an operator would.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>
#include <algorithm>

namespace qv::test {

// The control of that objectName; the test process stops when there is none (a renamed control).
template <class T>
T* child(QWidget& w, const QString& name) {
    T* c = w.findChild<T*>(name);
    if (!c) qFatal("no widget %s", qPrintable(name));
    return c;
}

// The text an entry shows: line edit, drop-down or memo.
inline QString textOf(QWidget& d, const QString& name) {
    if (auto* e = d.findChild<QLineEdit*>(name)) return e->text();
    if (auto* c = d.findChild<QComboBox*>(name)) return c->currentText();
    if (auto* m = d.findChild<QPlainTextEdit*>(name)) return m->toPlainText();
    qFatal("no entry %s", qPrintable(name));
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
