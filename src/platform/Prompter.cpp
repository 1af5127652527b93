#include "Prompter.h"

#include <QApplication>
#include <QFileDialog>

namespace qv {

void Prompter::error(const QString& text, QWidget* parent) {
    message(text, QStringLiteral("错误"), QMessageBox::Critical, QMessageBox::Ok, parent);
}

QMessageBox::StandardButton WidgetPrompter::message(const QString& text, const QString& caption,
                                                    QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons, QWidget* parent) {
    QMessageBox box(icon, caption, text, buttons, parent ? parent : QApplication::activeWindow());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString Prompter::saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                               QWidget* parent, QString* selectedFilter) {
    if (selectedFilter) selectedFilter->clear();
    return saveFileName(caption, fileName, filter, parent);
}

QString WidgetPrompter::saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                                     QWidget* parent) {
    return saveFileName(caption, fileName, filter, parent, nullptr);
}

QString WidgetPrompter::saveFileName(const QString& caption, const QString& fileName, const QString& filter,
                                     QWidget* parent, QString* selectedFilter) {
    return QFileDialog::getSaveFileName(parent, caption, fileName, filter, selectedFilter);
}

QString WidgetPrompter::openFileName(const QString& caption, const QString& dir, const QString& filter,
                                     QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString WidgetPrompter::directory(const QString& caption, const QString& dir, QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

}  // namespace qv
