// Tells a listening screen reader something without moving the keyboard
// focus: the toolkit has no announcement of its own, but a screen reader
// speaks a notification the moment it shows. The announcer is that
// notification, one pixel of the window that draws nothing: each
// announcement names it with the text and shows it anew. Sighted users see
// nothing of it.
#pragma once

#include <QWidget>

class Announcer : public QWidget {
  Q_OBJECT

 public:
  explicit Announcer(QWidget* parent);

  void announce(const QString& text);
};
