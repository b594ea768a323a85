// Checks shared by the tests of the installed and the packaged program.
#pragma once

#include <QJsonObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

// The sizes of the menu icon in the hicolor theme.
inline constexpr std::array kThemeIconSides = {16, 24, 32, 48, 64, 128, 256};

struct CommandResult {
  int exitCode = -1;
  QString output;  // standard output and error, interleaved
};

// Runs `program` with `arguments` to its end (at most `timeoutMs`).
CommandResult RunCommand(const QString& program, const QStringList& arguments,
                         int timeoutMs = 120000);

// The target of a symbolic link as written in the link.
QString ReadLink(const QString& path);

// The pixel size of a picture file, invalid when it cannot be read.
QSize ImageSize(const QString& path);

// Expects two files with the same bytes.
void ExpectSameFile(const QString& actual, const QString& expected);

// Expects the window of a snapshot to show the sample catalogue, every item
// of it, with the default courier chosen, inside the frame of the "QQ2010"
// skin.
void ExpectSampleCatalogueAndSkin(const QJsonObject& state);
