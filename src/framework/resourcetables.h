#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <vector>

namespace fw {

// A key and the command it sends, from an accelerator table.
struct Accelerator {
    QString key; // in QKeySequence's portable form, such as "Ctrl+]" or "Shift+F5"
    int commandId = 0;
};

// Menus, accelerators, toolbars and the string table, read from the JSON tables compiled into
// the program (res/tables). A menu bar is an array of popups {"title", "items"}; an item is
// [id, text], "-" for a separator, or a nested popup. A string of a command id holds its
// status-bar prompt, then a line feed and its tooltip when it has one.
class ResourceTables {
public:
    // Loads the tables compiled into the program.
    ResourceTables();
    // Loads tables from a folder holding menus.json, accelerators.json, toolbars.json and
    // strings.json.
    explicit ResourceTables(const QString &folder);

    QJsonArray menu(int menuId) const;
    std::vector<Accelerator> accelerators(int tableId) const;
    // Command ids of a toolbar's buttons; 0 stands for a separator.
    std::vector<int> toolBar(int toolbarId) const;

    QString string(int id) const;
    QString prompt(int commandId) const;
    QString tooltip(int commandId) const;

private:
    void load(const QString &folder);

    QJsonObject m_menus;
    QJsonObject m_accelerators;
    QJsonObject m_toolBars;
    QJsonObject m_strings;
};

} // namespace fw
