#pragma once

#include "framework/view.h"
#include "tools/outputwindowlistener.h"

#include <QIcon>
#include <QTreeWidget>

#include <array>

class CJavaProjectDoc;

// The project window's tree: the project's Java files and HTML page at the root, below each
// file its classes, below each class its methods and inner classes, below each inner class its
// methods. Items carry nothing but their labels and images; every operation finds the model
// object or the file from the label of the selected item and of its ancestors. OnUpdate brings
// the tree in line with the model without rebuilding it, so expanded branches and the
// selection survive a rescan.
//
// The view handles the file commands for the selected item (open, remove, set as main,
// compile, properties), a context menu, and the output window's close request and line jumps.
class CJavaProjectView : public QTreeWidget, public fw::View, public OutputWindowListener {
    Q_OBJECT

public:
    // Indices into the image strip; the selected image of each kind follows its normal one.
    enum Image {
        JavaFileImage = 0,
        MainFileImage = 2,
        HtmlFileImage = 4,
        ClassImage = 6,
        MethodImage = 8,
    };
    static constexpr int kImageCount = 10;
    static constexpr QSize kImageSize{18, 16};

    CJavaProjectView();
    ~CJavaProjectView() override;

    QWidget *widget() override { return this; }
    CJavaProjectDoc *projectDoc() const;

    void onInitialUpdate() override;
    void onUpdate(fw::View *sender, int hint) override;

    // The first item, from first on along its siblings, whose label equals text; none when
    // the chain ends or first is none.
    QTreeWidgetItem *FindChildByLabel(const QString &text, QTreeWidgetItem *first) const;
    // Deletes the root items whose file has left the project, and PruneFileItem on the others.
    void PruneTree();
    // Deletes the classes, methods and inner classes below a file item that the model no
    // longer holds.
    void PruneFileItem(QTreeWidgetItem *fileItem);
    // Opens the file of the selected item, or its file at the selected declaration.
    void OpenSelectedItem();

    // The image an item shows when not selected (one of Image), or -1.
    static int imageOf(const QTreeWidgetItem *item);
    QTreeWidgetItem *selectedItem() const;

    void OnOutputClose() override;
    void OnOutputGotoLine(int line) override;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // Enter opens the selected item as a double-click does; Shift+F10 and the Menu key open
    // its context menu.
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void registerCommands();
    QString selectedLabel() const;
    // The selected item; with none, says "Item is NULL" and gives none.
    QTreeWidgetItem *requireSelectedItem();

    void Remove();
    // Asks for a new name for the selected file and renames it (CJavaProjectDoc::RenameFile).
    void Rename();
    void SetAsMain();
    void Compile();
    void Properties();
    void showContextMenu(const QPoint &viewportPos, const QPoint &globalPos);
    // The context menu of the selected item, below its label, as the keyboard asks for it.
    void showContextMenuForSelection();
    // Runs a command chosen in the context menu: the view, then the document, then the frame.
    void runMenuCommand(int id);

    QTreeWidgetItem *insertItem(QTreeWidgetItem *parent, const QString &label, int image);
    void setImage(QTreeWidgetItem *item, int image);

    // One icon per kind of item, made from the normal and selected images of the strip.
    std::array<QIcon, kImageCount / 2> m_imageList;
};
