#pragma once

#include "compose/slot_placement.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>
#include <vector>

// One finished page of a customer task.
struct TaskPage {
    char name[100] = {}; // GBK, NUL-terminated, zero-padded
    int32_t width = 0;   // pixels
    int32_t height = 0;  // pixels
    // The placements of the template's 20 photo slots ("slots" itself is a
    // Qt keyword, so the field cannot carry that name).
    std::array<SlotPlacement, 20> placements{};

    static constexpr int kNameBytes = 100;
    static constexpr int kSlotCount = 20;
    static constexpr int kRecordSize = 3628; // on disk: name, slots, width, height

    QString Name() const;
    // Stores the name in GBK, cut to 99 bytes on a whole character.
    void SetName(const QString& text);
};

// The open customer task: "1.tx" with the phone field and the page records.
class CustomerTask {
public:
    static constexpr int kPhoneBytes = 100;
    // Larger files are refused by Load: no album comes near 2,000 pages, and
    // a damaged file must not take all memory (each page is held, and shown
    // by task-info with its 20 slots).
    static constexpr int kMaxPages = 2000;
    static constexpr qint64 kMaxFileBytes = kPhoneBytes + qint64(kMaxPages) * TaskPage::kRecordSize;

    QString phone;
    std::vector<std::unique_ptr<TaskPage>> pages;

    const QString& Path() const { return path_; }
    void SetPath(const QString& path) { path_ = path; }
    // Customer folder: the path up to its last "/".
    QString Folder() const;

    bool Load(const QString& path);
    bool Save() const; // atomic
    void RemovePage(int index);
    void Clear() { pages.clear(); }
    int PageCount() const { return static_cast<int>(pages.size()); }

    // The file's bytes: 100-byte phone block, then the page records.
    QByteArray ToBytes() const;

private:
    QString path_;
    // The phone block as loaded: written back unchanged while the phone text
    // is unchanged, so bytes that are not GBK survive a load and save.
    QString loadedPhone_;
    QByteArray loadedPhoneBytes_;
};
