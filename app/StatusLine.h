// A short line of text that says more about what another control shows. It
// is shown exactly while that control is shown, and screen readers find it
// under its own name, with the line as its description.
#pragma once

#include <QLabel>

class StatusLine : public QLabel {
 public:
  StatusLine(QWidget* parent, QWidget* explained, const QString& accessibleName);

  void setLine(const QString& line);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* const explained_;
};
