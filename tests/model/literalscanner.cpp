#include "literalscanner.h"

#include "model/javaheads.h"
#include "model/javatextblocks.h"
#include "model/scansink.h"

namespace {

bool isTrailingSpace(QChar c) {
    return QStringLiteral(" \t\n\v\f\r").contains(c);
}

} // namespace

void LiteralScanner::scan(const QString &text, const QString &path, ScanSink *project) {
    m_path = path;
    m_project = project;
    if (project) {
        project->ClearFileClasses(path);
    }
    int depth = 0;
    currentClassName.clear();
    consumedCount = 0;
    entryNames.clear();
    entryOffsets.clear();
    inInnerClass = false;
    for (Body &body : m_bodies) {
        body = {};
    }
    QString t = model::blankedTextBlocks(text);
    if (t.isNull()) {
        t = text;
    }
    const auto at = [&t](const QString &needle) { return t.indexOf(needle); };
    for (;;) {
        if (at("{") < 0) {
            break;
        }
        while (at("/*") >= 0 && at("/*") < at("{") && at("/*") < at("}") && at("*/") >= 0) {
            const int e = at("*/");
            consumedCount += e + 2;
            t = t.mid(e + 2);
        }
        while (at("//") >= 0 && at("//") < at("{") && at("//") < at("}")) {
            const int k = at("//");
            const int n = t.mid(k).indexOf('\n');
            if (n < 0) {
                break;
            }
            consumedCount += k + n + 1;
            t = t.mid(k + n + 1);
        }
        const int o = at("{");
        const int z = at("}");
        if (o < z) {
            depth += 1;
            consumedCount += o + 1;
            if (depth < 3) {
                inInnerClass = false;
            }
            if (depth == 1 || depth == 2 || (depth == 3 && inInnerClass)) {
                extract(o < 0 ? QString() : t.left(o), depth);
            }
            t = t.mid(o + 1);
        } else {
            depth -= 1;
            if (z >= 0) {
                consumedCount += z + 1;
                t = t.mid(z + 1);
            }
            if (depth < 0) {
                break;
            }
        }
    }
    if (project) {
        project->ClassInfoUpdated();
    }
}

void LiteralScanner::extract(const QString &head, int depth) {
    m_bodies[depth + 1] = {};
    QString d = head;
    if (m_bodies[depth].enumConstants && d.contains(';')) {
        m_bodies[depth].enumConstants = false;
        d = d.mid(d.lastIndexOf(';') + 1);
    }
    while (!d.isEmpty() && isTrailingSpace(d.back())) {
        d.chop(1);
    }
    int n = d.lastIndexOf('\n');
    if (n >= 0) {
        if (d.contains('(')) {
            const int q = d.lastIndexOf('(');
            if (q < n) {
                n = d.left(q).lastIndexOf('\n');
            }
        } else if (model::typeKeywordIndex(d) >= 0) {
            const int q = model::typeKeywordIndex(d);
            if (q < n) {
                n = d.left(q).lastIndexOf('\n');
            }
        }
    }
    QString b = d.mid(n + 1);
    declOffset = consumedCount - b.size();
    while (!b.isEmpty() && QStringLiteral("\t\n\r ").contains(b.front())) {
        b.remove(0, 1);
    }
    if (m_bodies[depth].enumConstants) {
        QString constant = b;
        constant.replace("\r\n", " ").replace("\t", " ");
        if (model::isEnumConstantHead(constant, m_bodies[depth].enumName)) {
            return;
        }
        m_bodies[depth].enumConstants = false;
    }
    if (!b.isEmpty()) {
        record(b, depth);
    }
}

void LiteralScanner::record(QString s, int depth) {
    s.replace("\r\n", " ");
    s.replace("\t", " ");
    for (int i = 0; i < 5; ++i) {
        s.replace("  ", " ");
    }
    if (const model::TypeHead type = model::typeHeadOf(s); type.kind != model::TypeKind::None) {
        const QString name = type.name;
        if (depth < 2) {
            currentClassName = name;
            entryNames.append(name);
            if (m_project) {
                m_project->AddClass(m_path, name);
            }
        } else {
            currentInnerName = name;
            entryNames.append(currentClassName + "." + name);
            if (m_project) {
                m_project->AddInnerClass(m_path, currentClassName, name);
            }
            inInnerClass = true;
        }
        entryOffsets.append(declOffset);
        if (type.kind == model::TypeKind::Enum) {
            m_bodies[depth + 1].enumConstants = true;
            m_bodies[depth + 1].enumName = name;
        }
        if (type.kind == model::TypeKind::Record) {
            m_bodies[depth + 1].record = name + type.components;
            m_bodies[depth + 1].recordName = name;
        }
        return;
    }
    if (model::isExpressionHead(s)) {
        return;
    }
    if (model::isCompactConstructor(s, m_bodies[depth].recordName)) {
        method(m_bodies[depth].record, depth);
        return;
    }
    const int t = s.indexOf('(');
    if (t < 1) {
        return;
    }
    QString before = s.left(t);
    while (!before.isEmpty() && isTrailingSpace(before.back())) {
        before.chop(1);
    }
    const int start = before.lastIndexOf(' ') + 1;
    if (!s.contains(')')) {
        return;
    }
    const int last = s.lastIndexOf(')');
    method(last >= start ? s.mid(start, last - start + 1) : QString(), depth);
}

void LiteralScanner::method(const QString &signature, int depth) {
    if (depth <= 2) {
        if (m_project) {
            m_project->AddMethod(m_path, currentClassName, signature);
        }
        entryNames.append(currentClassName + "." + signature);
    } else {
        if (m_project) {
            m_project->AddInnerMethod(m_path, currentClassName, currentInnerName, signature);
        }
        entryNames.append(currentClassName + "." + currentInnerName + "." + signature);
    }
    entryOffsets.append(declOffset);
}
