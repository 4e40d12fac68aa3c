#include "project/cjavaprojectview.h"

#include "framework/commandids.h"
#include "framework/frame.h"
#include "framework/prompter.h"
#include "model/cjavaclass.h"
#include "model/cjavafile.h"
#include "project/cjavaprojectdoc.h"
#include "project/cpropertiesdialog.h"
#include "services/ideservices.h"
#include "tools/cprocessoutputdialog.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

#include <optional>

namespace {

const QString kImageStrip = QStringLiteral(":/icons/tree.png");
const QString kUnableToLocate =
    QStringLiteral("Unable to locate this item - try adding the file to the project again.");

// A tree item: a label and the image it shows. Siblings sort by label, ignoring case, and
// keep their order where labels compare equal.
class ProjectTreeItem : public QTreeWidgetItem {
public:
    explicit ProjectTreeItem(const QString &label)
        : QTreeWidgetItem(QStringList{label}, QTreeWidgetItem::UserType) {}

    bool operator<(const QTreeWidgetItem &other) const override {
        return text(0).compare(other.text(0), Qt::CaseInsensitive) < 0;
    }

    int m_image = -1;
};

void showMessage(const QString &text) {
    fw::prompter().message(text);
}

} // namespace

CJavaProjectView::CJavaProjectView() {
    setHeaderHidden(true);
    setColumnCount(1);
    setFrameShape(QFrame::NoFrame);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(kImageSize);
    registerCommands();
}

CJavaProjectView::~CJavaProjectView() = default;

CJavaProjectDoc *CJavaProjectView::projectDoc() const {
    return dynamic_cast<CJavaProjectDoc *>(doc());
}

void CJavaProjectView::registerCommands() {
    const auto hasFullPath = [this] {
        CJavaProjectDoc *project = projectDoc();
        return project && project->GetFullPath(selectedLabel()) != CJavaProjectDoc::kNoFile;
    };

    addCommand(CommandId::Open, [this] { OpenSelectedItem(); });
    addUpdate(CommandId::Open,
              [this](fw::CommandUi &ui) { ui.setEnabled(!selectedLabel().isEmpty()); });

    addCommand(CommandId::RemoveFile, [this] { Remove(); });
    addUpdate(CommandId::RemoveFile,
              [hasFullPath](fw::CommandUi &ui) { ui.setEnabled(hasFullPath()); });

    addCommand(CommandId::RenameFile, [this] { Rename(); });
    addUpdate(CommandId::RenameFile,
              [hasFullPath](fw::CommandUi &ui) { ui.setEnabled(hasFullPath()); });

    addCommand(CommandId::SetAsMain, [this] { SetAsMain(); });
    addUpdate(CommandId::SetAsMain, [this, hasFullPath](fw::CommandUi &ui) {
        ui.setEnabled(hasFullPath());
        CJavaProjectDoc *project = projectDoc();
        // Only a selected item can carry the check: with nothing selected and no main file
        // set, the empty label would otherwise read as the main file.
        ui.setChecked(project && topLevelItemCount() > 0 && selectedItem()
                      && project->IsMainFile(selectedLabel()));
    });

    addCommand(CommandId::Compile, [this] { Compile(); });
    addUpdate(CommandId::Compile, [this, hasFullPath](fw::CommandUi &ui) {
        CJavaProjectDoc *project = projectDoc();
        ui.setEnabled(project && selectedLabel() != project->m_strHtmlFile && hasFullPath());
    });

    addCommand(CommandId::Properties, [this] { Properties(); });
    addUpdate(CommandId::Properties,
              [hasFullPath](fw::CommandUi &ui) { ui.setEnabled(hasFullPath()); });
}

QTreeWidgetItem *CJavaProjectView::selectedItem() const {
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

QString CJavaProjectView::selectedLabel() const {
    QTreeWidgetItem *item = selectedItem();
    return item ? item->text(0) : QString();
}

int CJavaProjectView::imageOf(const QTreeWidgetItem *item) {
    if (!item || item->type() != QTreeWidgetItem::UserType) {
        return -1;
    }
    return static_cast<const ProjectTreeItem *>(item)->m_image;
}

void CJavaProjectView::setImage(QTreeWidgetItem *item, int image) {
    auto *treeItem = static_cast<ProjectTreeItem *>(item);
    if (treeItem->m_image == image) {
        return;
    }
    treeItem->m_image = image;
    treeItem->setIcon(0, m_imageList.at(image / 2));
}

QTreeWidgetItem *CJavaProjectView::insertItem(QTreeWidgetItem *parent, const QString &label,
                                              int image) {
    auto *item = new ProjectTreeItem(label);
    parent->addChild(item);
    setImage(item, image);
    return item;
}

void CJavaProjectView::onInitialUpdate() {
    QPixmap strip(kImageStrip);
    if (!strip.hasAlphaChannel()) {
        strip.setMask(strip.createMaskFromColor(Qt::white));
    }
    const int width = kImageSize.width();
    for (int pair = 0; pair < kImageCount / 2; ++pair) {
        QIcon icon;
        icon.addPixmap(strip.copy(2 * pair * width, 0, width, kImageSize.height()), QIcon::Normal);
        icon.addPixmap(strip.copy((2 * pair + 1) * width, 0, width, kImageSize.height()),
                       QIcon::Selected);
        m_imageList.at(pair) = icon;
    }
    fw::View::onInitialUpdate();
}

QTreeWidgetItem *CJavaProjectView::FindChildByLabel(const QString &text,
                                                    QTreeWidgetItem *first) const {
    if (!first) {
        return nullptr;
    }
    QTreeWidgetItem *parent = first->parent() ? first->parent() : invisibleRootItem();
    for (int index = parent->indexOfChild(first); index < parent->childCount(); ++index) {
        QTreeWidgetItem *item = parent->child(index);
        if (item->text(0) == text) {
            return item;
        }
    }
    return nullptr;
}

void CJavaProjectView::onUpdate(fw::View *, int) {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    QTreeWidgetItem *root = invisibleRootItem();
    const CJavaFileList &files = project->GetFileList();
    for (int fileIndex = 0; fileIndex < files.GetCount(); ++fileIndex) {
        const CJavaFile *file = files.GetAt(fileIndex);
        QTreeWidgetItem *fileItem = FindChildByLabel(file->GetFileName(), root->child(0));
        if (!fileItem) {
            fileItem = insertItem(root, file->GetFileName(), JavaFileImage);
        }
        setImage(fileItem, project->IsMainFile(fileItem->text(0)) ? MainFileImage : JavaFileImage);

        const CJavaClassList &classes = file->GetClasses();
        for (int classIndex = 0; classIndex < classes.GetCount(); ++classIndex) {
            const CJavaClass *javaClass = classes.GetAt(classIndex);
            QTreeWidgetItem *classItem = FindChildByLabel(javaClass->GetName(), fileItem->child(0));
            if (!classItem) {
                classItem = insertItem(fileItem, javaClass->GetName(), ClassImage);
            }
            for (const QString &signature : javaClass->GetMethods()) {
                if (!FindChildByLabel(signature, classItem->child(0))) {
                    insertItem(classItem, signature, MethodImage);
                }
            }
            const CJavaClassList &innerClasses = javaClass->GetInnerClasses();
            for (int innerIndex = 0; innerIndex < innerClasses.GetCount(); ++innerIndex) {
                const CJavaClass *inner = innerClasses.GetAt(innerIndex);
                QTreeWidgetItem *innerItem =
                    FindChildByLabel(inner->GetName(), classItem->child(0));
                if (!innerItem) {
                    innerItem = insertItem(classItem, inner->GetName(), ClassImage);
                }
                for (const QString &signature : inner->GetMethods()) {
                    if (!FindChildByLabel(signature, innerItem->child(0))) {
                        insertItem(innerItem, signature, MethodImage);
                    }
                }
                innerItem->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            }
            classItem->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            classItem->sortChildren(0, Qt::AscendingOrder);
        }
        fileItem->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        fileItem->sortChildren(0, Qt::AscendingOrder);
    }

    const QString &htmlFile = project->m_strHtmlFile;
    if (!htmlFile.isEmpty() && !FindChildByLabel(htmlFile, root->child(0))) {
        insertItem(root, htmlFile, HtmlFileImage);
    }
    PruneTree();
    // Only the root level: the children of inner classes keep their insertion order.
    root->sortChildren(0, Qt::AscendingOrder);
}

void CJavaProjectView::PruneTree() {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    QTreeWidgetItem *root = invisibleRootItem();
    for (int index = 0; index < root->childCount();) {
        QTreeWidgetItem *item = root->child(index);
        const QString label = item->text(0);
        if (!project->GetFileList().HasFileName(label)) {
            if (label != project->m_strHtmlFile) {
                delete item;
                continue;
            }
        } else {
            PruneFileItem(item);
        }
        ++index;
    }
}

void CJavaProjectView::PruneFileItem(QTreeWidgetItem *fileItem) {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    const QString path = project->GetFullPath(fileItem->text(0));
    if (path == CJavaProjectDoc::kNoFile) {
        return;
    }
    const CJavaFile *file = project->GetFileList().FindByPath(path);
    if (!file) {
        return;
    }
    for (int classIndex = 0; classIndex < fileItem->childCount();) {
        QTreeWidgetItem *classItem = fileItem->child(classIndex);
        const CJavaClass *javaClass = file->GetClasses().FindClass(classItem->text(0));
        if (!javaClass) {
            delete classItem;
            continue;
        }
        for (int memberIndex = 0; memberIndex < classItem->childCount();) {
            QTreeWidgetItem *memberItem = classItem->child(memberIndex);
            const QString label = memberItem->text(0);
            if (!javaClass->HasMethod(label) && !javaClass->HasInnerClass(label)) {
                delete memberItem;
                continue;
            }
            if (const CJavaClass *inner = javaClass->GetInnerClass(label)) {
                for (int methodIndex = 0; methodIndex < memberItem->childCount();) {
                    QTreeWidgetItem *methodItem = memberItem->child(methodIndex);
                    if (!inner->HasMethod(methodItem->text(0))) {
                        delete methodItem;
                        continue;
                    }
                    ++methodIndex;
                }
            }
            ++memberIndex;
        }
        ++classIndex;
    }
}

QTreeWidgetItem *CJavaProjectView::requireSelectedItem() {
    QTreeWidgetItem *selected = selectedItem();
    if (!selected) {
        showMessage(QStringLiteral("Item is NULL"));
    }
    return selected;
}

void CJavaProjectView::OpenSelectedItem() {
    QTreeWidgetItem *selected = requireSelectedItem();
    CJavaProjectDoc *project = projectDoc();
    if (!selected || !project) {
        return;
    }
    QTreeWidgetItem *top = selected;
    while (top->parent()) {
        top = top->parent();
    }
    const QString topLabel = top->text(0);
    const QString label = selected->text(0);

    // A file item or the HTML item: open the file, or find it again.
    const QString path = project->GetFullPath(label);
    if (path != CJavaProjectDoc::kNoFile) {
        IdeServices *services = IdeServices::instance();
        if (services && services->OpenDocumentFile(path)) {
            return;
        }
        if (!project->RelocateFile(label)) {
            showMessage(kUnableToLocate);
            project->AddJavaSourceFiles();
        }
        return;
    }

    // A class, an inner class or a method. Opening its file rescans it, and the update that
    // follows may delete this very item or its parents when the file no longer declares
    // them: only their labels are used from here on.
    QTreeWidgetItem *parent = selected->parent();
    QTreeWidgetItem *grandparent = parent ? parent->parent() : nullptr;
    const std::optional<QString> parentLabel =
        parent ? std::optional<QString>(parent->text(0)) : std::nullopt;
    const std::optional<QString> grandparentLabel =
        grandparent ? std::optional<QString>(grandparent->text(0)) : std::nullopt;
    if (project->LocateClass(label)) {
        return;
    }
    if (!parentLabel) {
        showMessage(QStringLiteral("Parent is NULL"));
        return;
    }
    if (project->LocateMember(topLabel, *parentLabel, label)) {
        return;
    }
    if (!grandparentLabel) {
        showMessage(QStringLiteral("Parent is NULL"));
        return;
    }
    if (project->LocateMember(topLabel, *grandparentLabel + QLatin1Char('.') + *parentLabel,
                              label)) {
        return;
    }
    showMessage(kUnableToLocate);
    project->AddJavaSourceFiles();
}

void CJavaProjectView::Remove() {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    QTreeWidgetItem *selected = selectedItem();
    const QString path = project->GetFullPath(selectedLabel());
    if (path == CJavaProjectDoc::kNoFile) {
        showMessage(QStringLiteral("No files to remove."));
        return;
    }
    delete selected;
    project->RemoveFile(path);
}

void CJavaProjectView::Rename() {
    CJavaProjectDoc *project = projectDoc();
    const QString label = selectedLabel();
    if (!project || project->GetFullPath(label) == CJavaProjectDoc::kNoFile) {
        return;
    }
    QInputDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Rename File"));
    dialog.setLabelText(QStringLiteral("New name for %1:").arg(label));
    dialog.setTextValue(label);
    if (fw::prompter().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    project->RenameFile(label, dialog.textValue());
}

void CJavaProjectView::SetAsMain() {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    QTreeWidgetItem *selected = selectedItem();
    const QString label = selectedLabel();
    if (label == project->m_strHtmlFile
        || project->GetFullPath(label) == CJavaProjectDoc::kNoFile) {
        showMessage(QStringLiteral("Only Java files can be set as main"));
        return;
    }
    // The update that follows inserts the file item again, with the main file's images.
    delete selected;
    project->SetMainFile(label);
}

void CJavaProjectView::Compile() {
    QTreeWidgetItem *selected = requireSelectedItem();
    CJavaProjectDoc *project = projectDoc();
    if (!selected || !project) {
        return;
    }
    const QString label = selected->text(0);
    if (label == project->m_strHtmlFile) {
        showMessage(QStringLiteral("Can't compile HTML File!"));
        return;
    }
    const QString path = project->GetFullPath(label);
    if (path != CJavaProjectDoc::kNoFile) {
        project->CompileFile(path);
    }
}

void CJavaProjectView::Properties() {
    CJavaProjectDoc *project = projectDoc();
    if (!project) {
        return;
    }
    CPropertiesDialog dialog(this);
    dialog.setPackage(project->m_strPackage);
    if (fw::prompter().runDialog(dialog) != QDialog::Accepted) {
        return;
    }
    project->m_strPackage = dialog.package();
    project->setModifiedFlag(true);
}

void CJavaProjectView::mouseDoubleClickEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    // Instead of the tree's own expanding or collapsing.
    event->accept();
    OpenSelectedItem();
}

void CJavaProjectView::keyPressEvent(QKeyEvent *event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::NoModifier) {
        event->accept();
        OpenSelectedItem();
        return;
    }
    if ((event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        event->accept();
        showContextMenuForSelection();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void CJavaProjectView::contextMenuEvent(QContextMenuEvent *event) {
    event->accept();
    if (event->reason() != QContextMenuEvent::Mouse) {
        showContextMenuForSelection();
        return;
    }
    showContextMenu(event->pos(), event->globalPos());
}

void CJavaProjectView::showContextMenuForSelection() {
    // The Menu key may arrive both as a key and as a context menu request: one menu is enough.
    if (QMenu *open = findChild<QMenu *>(); open && open->isVisible()) {
        return;
    }
    QTreeWidgetItem *selected = selectedItem();
    if (!selected) {
        return;
    }
    scrollToItem(selected);
    const QRect label = visualItemRect(selected);
    const QPoint below(label.left() + label.height() / 2, label.center().y());
    showContextMenu(below, viewport()->mapToGlobal(below));
}

void CJavaProjectView::showContextMenu(const QPoint &viewportPos, const QPoint &globalPos) {
    QTreeWidgetItem *hit = itemAt(viewportPos);
    CJavaProjectDoc *project = projectDoc();
    if (!hit || !project) {
        return;
    }
    setCurrentItem(hit);
    const bool isFile = project->GetFullPath(hit->text(0)) != CJavaProjectDoc::kNoFile;

    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto addItem = [menu](const QString &text, int id) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        return action;
    };
    menu->setDefaultAction(addItem(QStringLiteral("Open"), CommandId::Open));
    if (isFile) {
        addItem(QStringLiteral("Compile"), CommandId::Compile);
        addItem(QStringLiteral("Set as Main"), CommandId::SetAsMain);
        addItem(QStringLiteral("Remove"), CommandId::RemoveFile);
        addItem(QStringLiteral("Rename..."), CommandId::RenameFile);
    }
    menu->addSeparator();
    addItem(QStringLiteral("Add Java Source Files..."), CommandId::AddJavaSourceFiles);
    addItem(QStringLiteral("Add HTML File..."), CommandId::AddHtmlFile);
    connect(menu, &QMenu::triggered, this,
            [this](QAction *action) { runMenuCommand(action->data().toInt()); });
    menu->popup(globalPos);
}

void CJavaProjectView::runMenuCommand(int id) {
    // The menu's items are not subject to the update rules: the handler runs as chosen.
    if (invokeCommand(id)) {
        return;
    }
    if (fw::Document *document = doc(); document && document->invokeCommand(id)) {
        return;
    }
    if (fw::Frame *owner = frame()) {
        owner->invokeCommand(id);
    }
}

void CJavaProjectView::OnOutputClose() {
    if (CJavaProjectDoc *project = projectDoc()) {
        project->m_pOutputWnd->DestroyWindow();
        project->m_strLastOutput = project->m_pOutputWnd->ShownText();
    }
}

void CJavaProjectView::OnOutputGotoLine(int line) {
    if (CJavaProjectDoc *project = projectDoc()) {
        project->JumpToMessageLine(line);
    }
}
