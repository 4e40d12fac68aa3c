#include "app/cpreferencesdialog.h"

#include "editors/sourcehighlighter.h"
#include "framework/prompter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

ColourRef refFromColour(const QColor &colour) {
    return static_cast<ColourRef>(colour.red()) | static_cast<ColourRef>(colour.green()) << 8
           | static_cast<ColourRef>(colour.blue()) << 16;
}

QString controlName(const char *kind, int id) {
    return QString::fromLatin1(kind) + QString::number(id);
}

} // namespace

CPreferencesDialog::CPreferencesDialog(const QFont &sampleFont, QWidget *parent)
    : QDialog(parent)
    , m_sampleFont(sampleFont) {
    setWindowTitle(QStringLiteral("Preferences"));
    setObjectName(controlName("dialog", kDialogId));

    auto *javacGroup = new QGroupBox(QStringLiteral("Javac Options"), this);
    auto *javacText = new QLabel(QStringLiteral("Enter switches for the Java compiler to use. See "
                                                "JDK documentation on \"javac\" for details."),
                                 javacGroup);
    javacText->setWordWrap(true);
    m_javacOptionsEdit = new QLineEdit(javacGroup);
    m_javacOptionsEdit->setObjectName(controlName("edit", kJavacOptionsEditId));
    auto *javacLayout = new QVBoxLayout(javacGroup);
    javacLayout->addWidget(javacText);
    javacLayout->addWidget(m_javacOptionsEdit);

    auto *jdkGroup = new QGroupBox(QStringLiteral("JDK Location"), this);
    auto *jdkText = new QLabel(
        QStringLiteral("Enter the full path to the JDK folder on your hard drive:"), jdkGroup);
    auto *browse = new QPushButton(QStringLiteral("Browse..."), jdkGroup);
    browse->setObjectName(controlName("button", kBrowseButtonId));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &CPreferencesDialog::browseForJdkFolder);
    // The limit is checked on OK rather than by the edit, which would cut a longer stored
    // folder short without a word.
    m_jdkFolderEdit = new QLineEdit(jdkGroup);
    m_jdkFolderEdit->setObjectName(controlName("edit", kJdkFolderEditId));
    jdkText->setBuddy(m_jdkFolderEdit);
    m_jdkNote = new QLabel(jdkGroup);
    m_jdkNote->setObjectName(QStringLiteral("jdkNote"));
    m_jdkNote->setWordWrap(true);
    auto *jdkLayout = new QGridLayout(jdkGroup);
    jdkLayout->addWidget(jdkText, 0, 0, 1, 2);
    jdkLayout->addWidget(m_jdkFolderEdit, 1, 0);
    jdkLayout->addWidget(browse, 1, 1);
    jdkLayout->addWidget(m_jdkNote, 2, 0, 1, 2);

    auto *colourGroup = new QGroupBox(QStringLiteral("Syntax Coloring"), this);
    auto *colourLayout = new QGridLayout(colourGroup);
    m_keywordSample = makeSample(kKeywordSampleId);
    m_commentSample = makeSample(kCommentSampleId);
    m_stringSample = makeSample(kStringSampleId);
    colourLayout->addWidget(
        makeColourButton(kKeywordButtonId, QStringLiteral("Keywords"), &m_keywordColour), 0, 0);
    colourLayout->addWidget(m_keywordSample, 0, 1);
    colourLayout->addWidget(
        makeColourButton(kCommentButtonId, QStringLiteral("Comments"), &m_commentColour), 1, 0);
    colourLayout->addWidget(m_commentSample, 1, 1);
    colourLayout->addWidget(
        makeColourButton(kStringButtonId, QStringLiteral("Strings"), &m_stringColour), 2, 0);
    colourLayout->addWidget(m_stringSample, 2, 1);
    auto *colourNote = new QLabel(QStringLiteral("Changes to syntax colors do not take effect "
                                                 "until windows are closed and re-opened."),
                                  colourGroup);
    colourNote->setWordWrap(true);
    colourLayout->addWidget(colourNote, 3, 0, 1, 2);

    m_saveBeforeCompile = new QCheckBox(QStringLiteral("Save all files before compiling"), this);
    m_saveBeforeCompile->setObjectName(controlName("check", kSaveBeforeCompileId));
    m_loadLastProject = new QCheckBox(QStringLiteral("Load last open project on startup"), this);
    m_loadLastProject->setObjectName(controlName("check", kLoadLastProjectId));
    m_keepCompilerRunning =
        new QCheckBox(QStringLiteral("Keep a Java compiler running for faster builds"), this);
    m_keepCompilerRunning->setObjectName(controlName("check", kKeepCompilerRunningId));
    m_keepCompilerRunning->setToolTip(
        QStringLiteral("Builds run javac and jar inside one Java program that stays running, and "
                       "source windows of a project show compiler errors as you type. Off: "
                       "every build starts javac anew."));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_saveBeforeCompile);
    layout->addWidget(m_loadLastProject);
    layout->addWidget(m_keepCompilerRunning);
    layout->addWidget(javacGroup);
    layout->addWidget(jdkGroup);
    layout->addWidget(colourGroup);
    layout->addWidget(buttons);

    m_probeDelay.setSingleShot(true);
    m_probeDelay.setInterval(kProbeDelayMs);
    connect(&m_probeDelay, &QTimer::timeout, this, &CPreferencesDialog::probeJdkFolder);
    connect(m_jdkFolderEdit, &QLineEdit::textChanged, this, [this] {
        m_jdkNote->setText(JdkProbe::searchingNote());
        m_probeDelay.start();
    });
    connect(&m_probe, &JdkProbe::finished, this, &CPreferencesDialog::showProbeResult);
}

CPreferencesDialog::~CPreferencesDialog() = default;

QPushButton *CPreferencesDialog::makeColourButton(int id, const QString &text, ColourRef *colour) {
    auto *button = new QPushButton(text, this);
    button->setObjectName(controlName("button", id));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, colour] {
        if (const std::optional<QColor> chosen =
                fw::prompter().chooseColour(colourFromRef(*colour))) {
            *colour = refFromColour(*chosen);
            paintSamples();
        }
    });
    return button;
}

QTextEdit *CPreferencesDialog::makeSample(int id) {
    auto *sample = new QTextEdit(this);
    sample->setObjectName(controlName("sample", id));
    // A sample only shows; what is typed into it would be painted over and never stored.
    sample->setReadOnly(true);
    sample->setUndoRedoEnabled(false);
    sample->setLineWrapMode(QTextEdit::NoWrap);
    sample->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sample->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sample->setFocusPolicy(Qt::NoFocus);
    sample->setFont(m_sampleFont);
    sample->document()->setDefaultFont(m_sampleFont);
    const int margins = int(2 * sample->document()->documentMargin()) + 2 * sample->frameWidth();
    sample->setFixedHeight(QFontMetrics(m_sampleFont).lineSpacing() + margins);
    return sample;
}

QString CPreferencesDialog::sampleText(int sampleId) {
    switch (sampleId) {
    case kKeywordSampleId:
        return QStringLiteral("public static final int");
    case kCommentSampleId:
        return QStringLiteral("// sample comment");
    case kStringSampleId:
        return QStringLiteral("\"This is a string\"");
    default:
        return QString();
    }
}

void CPreferencesDialog::paintSample(QTextEdit *sample, int sampleId, ColourRef colour) {
    QTextCharFormat format;
    format.setForeground(colourFromRef(colour));
    sample->clear();
    QTextCursor cursor(sample->document());
    cursor.insertText(sampleText(sampleId), format);
}

void CPreferencesDialog::paintSamples() {
    paintSample(m_keywordSample, kKeywordSampleId, m_keywordColour);
    paintSample(m_commentSample, kCommentSampleId, m_commentColour);
    paintSample(m_stringSample, kStringSampleId, m_stringColour);
}

void CPreferencesDialog::setValues(const Values &values) {
    m_javacOptionsEdit->setText(values.javacOptions);
    m_saveBeforeCompile->setChecked(values.saveBeforeCompile);
    m_loadLastProject->setChecked(values.loadLastProject);
    m_keepCompilerRunning->setChecked(values.keepCompilerRunning);
    m_commentColour = values.commentColour;
    m_keywordColour = values.keywordColour;
    m_stringColour = values.stringColour;
    m_jdkFolderEdit->setText(values.jdkFolder);
    paintSamples();
    // The folder given at the start is looked at straight away.
    m_probeDelay.stop();
    probeJdkFolder();
}

CPreferencesDialog::Values CPreferencesDialog::values() const {
    Values values;
    values.jdkFolder = m_jdkFolderEdit->text();
    values.javacOptions = m_javacOptionsEdit->text();
    values.saveBeforeCompile = m_saveBeforeCompile->isChecked();
    values.loadLastProject = m_loadLastProject->isChecked();
    values.keepCompilerRunning = m_keepCompilerRunning->isChecked();
    values.commentColour = m_commentColour;
    values.keywordColour = m_keywordColour;
    values.stringColour = m_stringColour;
    return values;
}

QString CPreferencesDialog::jdkNote() const {
    return m_jdkNote->text();
}

void CPreferencesDialog::browseForJdkFolder() {
    const QString folder = fw::prompter().chooseFolder(QStringLiteral("Find the JDK Folder:"));
    if (!folder.isEmpty()) {
        m_jdkFolderEdit->setText(folder);
    }
}

void CPreferencesDialog::probeJdkFolder() {
    m_jdkNote->setText(JdkProbe::searchingNote());
    m_probedFolder = m_jdkFolderEdit->text();
    m_probe.probe(m_probedFolder);
}

void CPreferencesDialog::showProbeResult(JdkProbe::Result result, const QString &version) {
    m_jdkNote->setText(JdkProbe::note(result, version, m_probedFolder));
}

void CPreferencesDialog::accept() {
    const qsizetype length = m_jdkFolderEdit->text().size();
    if (length > kMaxJdkFolderLength) {
        fw::prompter().message(
            QStringLiteral("The JDK folder may be at most %1 characters long; this one has %2. "
                           "Please enter a shorter path.")
                .arg(kMaxJdkFolderLength)
                .arg(length));
        m_jdkFolderEdit->setFocus();
        m_jdkFolderEdit->selectAll();
        return;
    }
    m_probeDelay.stop();
    QDialog::accept();
}
