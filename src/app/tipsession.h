#pragma once

#include "app/tipsfile.h"

#include <QString>

namespace fw {
class Profile;
}

// One showing of the tip of the day, from making the dialog to destroying it: reads where the
// last showing stopped (section "Tip": "StartUp", "FilePos", "TimeStamp"), opens the tips file,
// starts again at the first tip when the file has changed, and reads the first tip at once.
// end() (or the destructor) stores the position of the next tip, so each showing moves on by
// the tips it read. A missing file stores nothing.
class TipSession {
public:
    enum class Status {
        Tip,     // tip() holds the tip to show
        Missing, // the tips file cannot be opened
        NoTip,   // the file holds no tip
        Trouble  // a seek in the file failed
    };

    static const QString kSection;
    static const QString kStartUpKey;
    static const QString kFilePosKey;
    static const QString kTimeStampKey;

    TipSession(fw::Profile &profile, const QString &tipsPath);
    ~TipSession();

    TipSession(const TipSession &) = delete;
    TipSession &operator=(const TipSession &) = delete;

    bool showAtStartUp() const { return m_showAtStartUp; }
    bool hasFile() const { return m_file.isOpen(); }
    // What making the session found: the first tip, or why there is none.
    Status status() const { return m_status; }
    // The last tip read, without its line end.
    QString tip() const;

    // Reads the tip after the current one.
    Status next();
    // Writes "StartUp": 0 to show the tips at start-up, 1 not to.
    void storeShowAtStartUp(bool show);
    // Stores the position of the next tip and closes the file.
    void end();

private:
    Status read();

    fw::Profile &m_profile;
    TipsFile m_file;
    bool m_showAtStartUp = true;
    Status m_status = Status::Missing;
};
