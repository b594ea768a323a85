#include "ServiceAddress.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <optional>

namespace ServiceAddress {
namespace {

const QString kSettingsFile = QStringLiteral("courier-query/courier-query.conf");

// The desktop's rules for its folders: a folder that is not an absolute
// path does not count.
QString configHome() {
  const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
  return QDir::isAbsolutePath(home) ? home : QDir::homePath() + QStringLiteral("/.config");
}

QStringList configDirs() {
  QStringList dirs;
  for (const QString& dir : qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'))) {
    if (QDir::isAbsolutePath(dir)) dirs += dir;
  }
  return dirs.isEmpty() ? QStringList{QStringLiteral("/etc/xdg")} : dirs;
}

QString withoutTrailingSlashes(QString address) {
  while (address.endsWith(QLatin1Char('/'))) address.chop(1);
  return address;
}

// The service at `address`, read from `origin` (described so as the user
// reads it), with the problem that keeps it from being used.
Service checked(const QString& address, const QString& origin, const QString& describedOrigin) {
  const QString base = withoutTrailingSlashes(address);
  const QString reason = unusableBecause(address);
  if (reason.isEmpty()) return {base, origin, {}};
  return {base, origin,
          QStringLiteral("查询服务地址“") + address + QStringLiteral("”无效：") + reason +
              QStringLiteral("（") + describedOrigin + QStringLiteral("）")};
}

// What the settings file `path` says: nothing when it does not exist or has
// no Service= that is not blank, else the service or the problem with the
// file. Values with commas come back from the settings reader as lists.
std::optional<Service> fromSettingsFile(const QString& path) {
  if (!QFileInfo::exists(path)) return std::nullopt;
  const QSettings settings(path, QSettings::IniFormat);
  if (settings.status() == QSettings::AccessError)
    return Service{{}, path, QStringLiteral("无法读取设置文件 ") + path};
  const QVariant value = settings.value(kKey);
  const QString address =
      (value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                : value.toString())
          .trimmed();
  if (!address.isEmpty()) return checked(address, path, QStringLiteral("设置文件 ") + path);
  if (settings.status() == QSettings::FormatError)
    return Service{{},
                   path,
                   QStringLiteral("设置文件 ") + path + QStringLiteral(" 格式有误，读不出 ") +
                       kKey + QStringLiteral("= 项")};
  return std::nullopt;
}

}  // namespace

QStringList settingsFiles() {
  QStringList files{QDir(configHome()).filePath(kSettingsFile)};
  for (const QString& dir : configDirs()) files += QDir(dir).filePath(kSettingsFile);
  return files;
}

Service find() {
  const QString variable = qEnvironmentVariable(qPrintable(kVariable)).trimmed();
  if (!variable.isEmpty())
    return checked(variable, kVariable, QStringLiteral("环境变量 ") + kVariable);
  for (const QString& file : settingsFiles()) {
    if (auto service = fromSettingsFile(file)) return *service;
  }
  return {kDefault, {}, {}};
}

// The address parser keeps the host of an address whose only fault is its
// port, and drops the host when the host itself is at fault.
QString unusableBecause(const QString& address) {
  const QUrl url(address);
  if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
    return QStringLiteral("不是 http 或 https 地址");
  if (!url.isValid())
    return url.host().isEmpty() ? QStringLiteral("主机名不正确")
                                : QStringLiteral("端口须是 1 到 65535 之间的数");
  if (url.host().isEmpty()) return QStringLiteral("缺少主机名");
  if (url.port() == 0) return QStringLiteral("端口须是 1 到 65535 之间的数");
  if (url.hasQuery() || url.hasFragment()) return QStringLiteral("不能含有“?”或“#”");
  return {};
}

QString hostAndPort(const QString& base) {
  const QUrl url(base);
  const int port = url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
  const QString host = url.host().contains(QLatin1Char(':'))
                           ? QLatin1Char('[') + url.host() + QLatin1Char(']')
                           : url.host();
  return host + QLatin1Char(':') + QString::number(port);
}

}  // namespace ServiceAddress
