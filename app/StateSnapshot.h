// A diagnostic snapshot of the main window's state as JSON, for whole-program
// tests: the window's caption and size and every control's name, visibility,
// geometry in twips, caption or text, tag, colours and back style, the
// selection state, the query's status line and what the skin drew of the
// frame. Enabled by COURIER_QUERY_STATE_FILE; without it nothing is created
// and nothing runs.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class FormMain;

class StateSnapshot : public QObject {
 public:
  // Starts writing snapshots of `form` to the file named by the environment
  // variable, if it is set; returns null otherwise.
  static StateSnapshot* startFromEnvironment(FormMain& form);

  StateSnapshot(FormMain& form, QString path);

  // Writes the snapshot now if it differs from the last one written. The
  // labels, which may be tens of thousands, are described again only after
  // they changed, so an unchanged window costs a few small objects.
  void writeIfChanged();

 private:
  FormMain& form_;
  QString path_;
  QByteArray lastHead_;
  quint64 lastLabelsRevision_ = 0;
  QByteArray labels_;
  bool written_ = false;
  QTimer poll_;
};

// The snapshot document of `form`, as compact JSON. It renders one pixel of
// the window to tell what the skin drew.
QByteArray snapshotJson(FormMain& form);
