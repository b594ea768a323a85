// A short line of text that says more about what another control shows. It
// is shown exactly while that control is shown. Screen readers find it as a
// status bar named by its line, or by its own name while the line is empty.
// A line wider than the label shows its start and "…", and the whole line as
// its tooltip.
#pragma once

#include <QLabel>

class StatusLine : public QLabel {
  Q_OBJECT

 public:
  StatusLine(QWidget* parent, QWidget* explained, const QString& accessibleName);

  // text() stays the whole line, whatever is shown of it.
  void setLine(const QString& line);

  // What the label shows of its line at its present width.
  QString shownLine() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateToolTip();

  const QString emptyName_;
};
