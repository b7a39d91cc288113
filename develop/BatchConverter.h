// Batch conversion of RAW files into one output folder, without windows: the
// batch page, the tests and the benchmark drive it. Every report goes through
// BatchReport; the worker never touches a control.
#pragma once

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"

#include <atomic>
#include <string>
#include <vector>

namespace develop {

struct BatchEntry {
    std::string name; // file name with extension
    std::string path; // full path
};

// What a run tells its page; called on the running thread.
class BatchReport {
public:
    virtual ~BatchReport() = default;
    // The row being converted, alone selected.
    virtual void SelectRow(int row) = 0;
    virtual void BatchPercent(int percent) = 0;
    // The current file's bar: "name:stage" and its percent.
    virtual void FileStage(const std::string& text, int percent) = 0;
    // The row of entry gets "name - result".
    virtual void Status(int entry, const std::string& text) = 0;
};

struct BatchSettings {
    std::vector<BatchEntry> entries;
    std::vector<int> order;  // the entry of each row, in display order
    std::string folder;      // the output folder, ending in '/'
    int autoBalance = 0;     // 1 automatic, 0 the camera's white balance
    bool jpeg = true;        // else TIFF
    int sharpen = 50;        // 0..100
};

class BatchConverter {
public:
    BatchConverter(BatchSettings settings, BatchReport& report, const std::atomic<int>& cancel);
    BatchConverter(const BatchConverter&) = delete;
    BatchConverter& operator=(const BatchConverter&) = delete;

    // Converts every row in order until done or cancelled; the work images
    // are freed at the end.
    void Run();

    // The whole batch's percent at step (0..100) of row of count.
    static int BatchPercent(int step, int row, int count);
    // folder + stem + ext, or with "_2", "_3"... before ext while that name
    // is taken.
    static std::string FreeOutputPath(const std::string& folder, const std::string& stem, const std::string& ext);

private:
    // The result text's key.
    const char* ConvertRow(int row, const BatchEntry& entry);
    const char* Save(const BatchEntry& entry, int row);
    bool Cancelled() const { return m_cancel.load() != 0; }
    void Stage(int row, const BatchEntry& entry, int batchStep, const char* key, int percent);

    BatchSettings m_settings;
    BatchReport& m_report;
    const std::atomic<int>& m_cancel;
    // Kept between files of one size, freed at the end.
    C16BitBitmap m_image;
    CQLImage m_image8;
};

} // namespace develop
