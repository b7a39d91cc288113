// The loading thread's work without the thread: the folder's photo list, the
// current index and three decoded slots (previous, current, next). Stepping
// swaps slot pointers; rotating, filling a slot and copying the current one
// out happen under one lock, so a step never tears the shown photo.
#pragma once

#include "imagecore/QLImage.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace glance {

struct PhotoRecord {
    std::string name;       // long name
    std::string shortName;  // 8.3 name; always empty here
};

class PhotoFolder {
public:
    // Decodes path into image; false on failure.
    using Decoder = std::function<bool(const std::string& path, CQLImage* image)>;
    // The current slot holds the photo to show.
    using Notify = std::function<void()>;

    explicit PhotoFolder(Decoder decoder = {});

    // Lists the folder of path, decodes the photo and its neighbours.
    void Open(const std::string& path, const Notify& notify);
    void Next(const Notify& notify);
    void Previous(const Notify& notify);

    // Window side: a copy of the current slot (empty image when it is empty).
    void CopyCurrent(CQLImage* out) const;
    std::string CurrentName() const;
    std::string Folder() const;
    bool CanStep() const;
    int Index() const;
    std::vector<PhotoRecord> Records() const;

    // Lists the folder into records sorted by name without regard to case;
    // returns the index of the record named like path's file name (else 0).
    static int ListFolder(const std::string& path, std::string* folder, std::vector<PhotoRecord>* records);

private:
    void LoadInto(int index, CQLImage* const* slot);
    std::string PathOf(int index) const;

    Decoder m_decoder;
    mutable std::mutex m_lock;
    std::vector<PhotoRecord> m_records;
    std::string m_folder;
    int m_index = 0;
    CQLImage m_images[3];
    CQLImage* m_prev = &m_images[0];
    CQLImage* m_cur = &m_images[1];
    CQLImage* m_next = &m_images[2];
};

} // namespace glance
