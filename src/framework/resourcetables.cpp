#include "framework/resourcetables.h"

#include <QFile>
#include <QJsonDocument>

// The compiled-in resources live in a static library; make sure they are registered.
static void registerCompiledResources() {
    Q_INIT_RESOURCE(tarvo);
}

namespace fw {

namespace {

QJsonObject readTable(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("Missing resource table %s", qPrintable(path));
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qFatal("Damaged resource table %s: %s", qPrintable(path), qPrintable(error.errorString()));
    }
    return document.object();
}

} // namespace

ResourceTables::ResourceTables() {
    registerCompiledResources();
    load(QStringLiteral(":/tables"));
}

ResourceTables::ResourceTables(const QString &folder) {
    load(folder);
}

void ResourceTables::load(const QString &folder) {
    m_menus = readTable(folder + QStringLiteral("/menus.json"));
    m_accelerators = readTable(folder + QStringLiteral("/accelerators.json"));
    m_toolBars = readTable(folder + QStringLiteral("/toolbars.json"));
    m_strings = readTable(folder + QStringLiteral("/strings.json"));
}

QJsonArray ResourceTables::menu(int menuId) const {
    return m_menus.value(QString::number(menuId)).toArray();
}

std::vector<Accelerator> ResourceTables::accelerators(int tableId) const {
    std::vector<Accelerator> table;
    for (const QJsonValue &entry : m_accelerators.value(QString::number(tableId)).toArray()) {
        const QJsonArray pair = entry.toArray();
        table.push_back({pair.at(0).toString(), pair.at(1).toInt()});
    }
    return table;
}

std::vector<int> ResourceTables::toolBar(int toolbarId) const {
    std::vector<int> buttons;
    for (const QJsonValue &id : m_toolBars.value(QString::number(toolbarId)).toArray()) {
        buttons.push_back(id.toInt());
    }
    return buttons;
}

QString ResourceTables::string(int id) const {
    return m_strings.value(QString::number(id)).toString();
}

QString ResourceTables::prompt(int commandId) const {
    return string(commandId).section(QLatin1Char('\n'), 0, 0);
}

QString ResourceTables::tooltip(int commandId) const {
    return string(commandId).section(QLatin1Char('\n'), 1);
}

} // namespace fw
