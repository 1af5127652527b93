#include "ScriptedPrompter.h"

namespace qv::test {

ScriptedPrompter& ScriptedPrompter::expect(const QString& text, QMessageBox::StandardButton answer,
                                           const QString& caption) {
    expected_.push_back({text, caption, answer, {}});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::nextFile(const QString& path, const QString& selectedFilter) {
    files_.push_back(path);
    filters_.push_back(selectedFilter);
    return *this;
}

ScriptedPrompter& ScriptedPrompter::onShow(std::function<void(const Shown&)> fn) {
    if (!expected_.empty()) expected_.back().onShow = std::move(fn);
    return *this;
}

bool ScriptedPrompter::verify(QString* why) const {
    QStringList problems = failures_;
    for (const Expected& e : expected_) problems << QStringLiteral("expected message not shown: \"%1\"").arg(e.text);
    if (why) *why = problems.join(QLatin1Char('\n'));
    return problems.isEmpty();
}

void ScriptedPrompter::clear() {
    expected_.clear();
    files_.clear();
    filters_.clear();
    shown_.clear();
    failures_.clear();
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Shown& s : shown_) out << s.text;
    return out;
}

QMessageBox::StandardButton ScriptedPrompter::message(const QString& text, const QString& caption,
                                                      QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons, QWidget*) {
    const Shown shown{text, caption, icon, buttons};
    shown_ << shown;
    if (expected_.empty() || expected_.front().text != text ||
        (!expected_.front().caption.isNull() && expected_.front().caption != caption)) {
        failures_ << QStringLiteral("unexpected message: \"%1\" (caption \"%2\")%3")
                         .arg(text, caption,
                              expected_.empty() ? QString()
                                                : QStringLiteral(", expected \"%1\"").arg(expected_.front().text));
        // Answer with the first button offered so that the code under test goes on.
        for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
            if (buttons & b) return QMessageBox::StandardButton(b);
        return QMessageBox::Ok;
    }
    Expected e = std::move(expected_.front());
    expected_.pop_front();
    if (e.onShow) e.onShow(shown);
    return e.answer;
}

QString ScriptedPrompter::saveFileName(const QString& c, const QString& d, const QString& f, QWidget* p) {
    return saveFileName(c, d, f, p, nullptr);
}

QString ScriptedPrompter::saveFileName(const QString&, const QString&, const QString&, QWidget*,
                                       QString* selectedFilter) {
    if (files_.empty()) {
        failures_ << QStringLiteral("unexpected save dialog");
        return {};
    }
    QString f = files_.front();
    files_.pop_front();
    if (selectedFilter) *selectedFilter = filters_.front();
    filters_.pop_front();
    return f;
}

QString ScriptedPrompter::openFileName(const QString& c, const QString& d, const QString& f, QWidget* p) {
    return saveFileName(c, d, f, p);
}

QString ScriptedPrompter::directory(const QString& c, const QString& d, QWidget* p) {
    return saveFileName(c, d, QString(), p);
}

}  // namespace qv::test
