// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// "Please Wait...": a line of text over a bar, and for work that can be stopped a
// Cancel button beside the bar. The range and position are kept in single precision;
// the bar and label are written only when what they show changes, the bar at most once
// a screen frame.
class frmProgress : public QWidget {
    Q_OBJECT
public:
    explicit frmProgress(QWidget* parent = nullptr);

    void SetRange(float minimum, float maximum);
    void SetText(const QString& text);
    // Moves the bar only to a new value below the maximum; writes the text only when it differs.
    void Update(double value, const QString& text);

    float Minimum() const { return minimum_; }
    float Maximum() const { return maximum_; }
    float Position() const { return position_; }
    QString Text() const;

    // Shows the Cancel button, which emits cancelRequested (so does closing the window).
    void SetCancellable(bool cancellable);

signals:
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowPosition();
    // Puts the latest position on the bar, which paints it at once.
    void PaintBar();

    QLabel* l;
    QProgressBar* pbar;
    QPushButton* cmdCancel = nullptr;
    // The bar is painted at most once a screen frame: a load calls for thousands of
    // updates in a fraction of a second, and each paint of the bar costs more than
    // the work between two updates. A position held back is painted when the frame
    // is over.
    int pendingSteps_ = 0;
    QElapsedTimer sincePaint_;
    QTimer nextFrame_;
    float minimum_ = 0.0f;
    float maximum_ = 100.0f;
    float position_ = 0.0f;
};
