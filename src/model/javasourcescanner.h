#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <initializer_list>

class ScanSink;

// Finds, by counting braces, the top-level classes and interfaces of a Java source text, their
// methods, their inner classes and the methods of those, and records them as entries (Foo,
// Foo.paint(Graphics g), Foo.Inner, Foo.Inner.run()) with the text offset of each
// declaration. There is no tokenizer: braces in strings and comments that are not removed
// count like any other; only text blocks are blanked first.
//
// Enums and records are classes: a record's compact constructor is listed with its components
// (Point(int x, int y)), and the bodies of enum constants are passed over. A brace opened by
// an expression (an anonymous class, a lambda) is no method. A generic type is named without
// its type parameters (Queue, Queue.Node).
//
// Offsets are indices into the scanned text, whose line breaks are expected to be CR LF
// (each line break counts two). The scan costs time linear in the length of the text.
//
// At most kMaxEntries entries are kept per scan: entryOffsets has that many slots, and an
// entry found after the table is full is not listed at all, so that every listed entry has
// its own offset beside it. The project still hears of every class and method found.
class JavaSourceScanner {
public:
    static constexpr int kMaxEntries = 255;

    JavaSourceScanner() = default;
    virtual ~JavaSourceScanner() = default;

    // Scans the whole text afresh. When a project is given, the classes of the file with
    // documentPath are emptied first, every class, inner class and method found is reported,
    // and ClassInfoUpdated ends the scan.
    void ScanSource(const QString &text, const QString &documentPath, ScanSink *project);

    // The offset of the first entry that equals the text exactly, or -1.
    int FindEntryOffset(const QString &entry) const;

    const QStringList &entries() const { return entryNames; }
    // The offset of entry index, or -1 for an index outside the entries.
    int entryOffset(int index) const;

protected:
    // Where the scan reports what it finds: the document's path and the open project, if any.
    struct ScanTarget {
        const QString &path;
        ScanSink *project;
    };

    // head: the text between the previous cut and an opening brace at depth.
    void ExtractDeclaration(QStringView head, int depth, const ScanTarget &target);
    void RecordDeclaration(QStringView declaration, int depth, const ScanTarget &target);

    bool inInnerClass = false;
    QString currentInnerName;
    int declOffset = 0;
    std::array<int, kMaxEntries> entryOffsets{};
    QString currentClassName;
    QStringList entryNames;
    // Characters cut so far from the front of the working copy: the offset in the full text of
    // the working copy's first character.
    int consumedCount = 0;

    // What the block opened at a depth is, as far as heads at that depth care: the body of an
    // enum whose constants still come, or of a record with its name and components.
    struct TypeBody {
        bool enumConstants = false;
        QString enumName;
        QString recordName;
        QString recordComponents;
    };
    // Slot d: the body whose heads stand at depth d (the slots past the deepest examined depth
    // are never used).
    std::array<TypeBody, 5> typeBodies{};

private:
    void recordMethod(const QString &signature, int depth, const ScanTarget &target);
    // Appends the parts joined by "." as the next entry, with declOffset as its offset.
    void appendEntry(std::initializer_list<QStringView> parts);
};
