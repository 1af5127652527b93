#pragma once
#include <QWidget>

class QLabel;

namespace qv {

// The start-up window: the picture IMG/Splash.bmp of the program folder and one status line.
class Frm_Splash : public QWidget {
    Q_OBJECT
public:
    explicit Frm_Splash(const QString& home, QWidget* parent = nullptr);

    // Replaces the status line and repaints at once (the caller keeps the event loop busy).
    void SetStatus(const QString& text);
    QString status() const;

    static constexpr int kWidth = 461;
    static constexpr int kHeight = 278;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* Image1;
    QLabel* Label_Status;
};

}  // namespace qv
