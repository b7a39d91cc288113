// The editor's one open photo: the current image, its path and size, its
// EXIF record, its undo history and the list of photos in its folder.
#pragma once

#include "editor/shell/AsyncSaveThread.h"
#include "editor/shell/ExifInfo.h"
#include "editor/shell/FolderPhotoList.h"
#include "editor/shell/UndoHistory.h"
#include "imagecore/QLImage.h"

class CBitmapMenu;
class CComplexImageUtils;

// The undo history whose snapshots the writer thread puts into the file.
class AsyncUndoHistory : public UndoHistory {
public:
    AsyncUndoHistory() = default;
    // The writer finishes first; the base then removes the file.
    ~AsyncUndoHistory() override = default;

    // Queues the block at the write position; 0 once a write has failed.
    int WriteBlock(std::unique_ptr<BYTE[]> data, DWORD length, LONGLONG* offset) override;
    CAsyncSaveThread& GetWriter() { return m_writer; }

protected:
    void WaitForWrites() override { m_writer.WaitUntilIdle(); }

private:
    CAsyncSaveThread m_writer;
};

// The effect plug-ins' pop-up menus: one for the function bar's plug-in
// button, one for the frame's image menu. Built by the function bar; both
// live as long as the program, like the menus they are inserted into.
class PluginMenu {
public:
    // Creates both pop-ups from the plug-in table once; 1 from then on.
    int Build();

    int m_built = 0;
    CBitmapMenu* m_popup = nullptr;
    // Held by pointer: the headless core is built without the menus.
    CBitmapMenu* m_embedded = nullptr;
};

class CPhotoDocument {
public:
    CPhotoDocument();
    virtual ~CPhotoDocument();
    CPhotoDocument(const CPhotoDocument&) = delete;
    CPhotoDocument& operator=(const CPhotoDocument&) = delete;

    // Forgets the photo: state 0, history reset, image freed, path and size
    // emptied, so nothing can later be saved over an unrelated file; the kit
    // object is deleted.
    void Clear();
    // The photo's file name up to its first full stop into out (empty when
    // the name begins with one); returns the place of that full stop in
    // m_path, or of its end.
    const char* GetFileTitle(char* out) const;
    // Pixels loaded, as the command-enabling handlers test.
    BOOL IsLoaded() const { return m_image.GetAreaByteSize() != 0; }
    // Differs from the photo's file, or has no file at all.
    BOOL IsModified() const { return m_history.IsModified() || (IsLoaded() && m_path[0] == '\0'); }

    CQLImage m_image;
    int m_state = 0;
    ExifInfo m_exif;
    char m_path[512] = {};
    int m_fileSize = 0;
    AsyncUndoHistory m_history;
    PluginMenu m_pluginMenu;
    CComplexImageUtils* m_kit = nullptr; // the -i mode's QuilloKit object
    FolderPhotoList m_folderList;
};

// The editor's document, made before the application starts.
extern CPhotoDocument thePhotoDocument;
