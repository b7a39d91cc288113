#include "platform/afx/ResourceTables.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace qlafx {
namespace {

// Worker threads load strings too, so the list is guarded.
std::mutex& TablesMutex()
{
    static std::mutex m;
    return m;
}

std::vector<const ResourceTable*>& Tables()
{
    static auto* tables = new std::vector<const ResourceTable*>;
    return *tables;
}

// The first match, newest table first.
template <class T, class Member>
const T* FindIn(Member member, UINT id)
{
    std::lock_guard lock(TablesMutex());
    const auto& tables = Tables();
    for (auto it = tables.rbegin(); it != tables.rend(); ++it) {
        for (const T& entry : (*it)->*member)
            if (entry.id == id)
                return &entry;
    }
    return nullptr;
}

}  // namespace

void RegisterResources(const ResourceTable* table)
{
    std::lock_guard lock(TablesMutex());
    Tables().push_back(table);
}

void UnregisterResources(const ResourceTable* table)
{
    std::lock_guard lock(TablesMutex());
    auto& tables = Tables();
    tables.erase(std::remove(tables.begin(), tables.end(), table), tables.end());
}

const char* FindString(UINT id)
{
    const StringEntry* e = FindIn<StringEntry>(&ResourceTable::strings, id);
    return e ? e->text : nullptr;
}

const DialogTemplate* FindDialog(UINT id) { return FindIn<DialogTemplate>(&ResourceTable::dialogs, id); }
const MenuTable* FindMenu(UINT id) { return FindIn<MenuTable>(&ResourceTable::menus, id); }
const ToolbarTable* FindToolbar(UINT id) { return FindIn<ToolbarTable>(&ResourceTable::toolbars, id); }
const AcceleratorTable* FindAccelerators(UINT id)
{
    return FindIn<AcceleratorTable>(&ResourceTable::accelerators, id);
}

}  // namespace qlafx

int LoadString(HINSTANCE, UINT id, LPSTR buffer, int bufferMax)
{
    if (!buffer || bufferMax <= 0)
        return 0;
    const char* text = qlafx::FindString(id);
    if (!text) {
        buffer[0] = '\0';
        return 0;
    }
    const int n = std::min(static_cast<int>(std::strlen(text)), bufferMax - 1);
    std::memcpy(buffer, text, static_cast<size_t>(n));
    buffer[n] = '\0';
    return n;
}

void AfxFormatStrings(CString& rString, LPCSTR lpszFormat, LPCSTR const* rglpsz, int nString)
{
    std::string out;
    for (const char* p = lpszFormat ? lpszFormat : ""; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const int i = p[1] - '1';
            if (i < nString && rglpsz[i])
                out += rglpsz[i];
            ++p;
        } else {
            out += *p;
        }
    }
    rString = CString(out);
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCSTR lpsz1)
{
    AfxFormatStrings(rString, qlafx::FindString(nIDS), &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2)
{
    const LPCSTR args[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, qlafx::FindString(nIDS), args, 2);
}

BOOL CString::LoadString(UINT id)
{
    const char* text = qlafx::FindString(id);
    if (!text)
        return FALSE;
    *this = text;
    return TRUE;
}
