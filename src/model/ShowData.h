#pragma once
// A show: the names of up to 100 panel documents of one folder, in playing order.
#include <array>
#include <string>

class CArchive;

constexpr int kMaxShowNames = 100;

// What an edit of a show's list came to.
enum class EShowListEdit {
    Done,
    Full,       // the show already holds 100 names: nothing added
    NoSuchName, // no name at that index: nothing removed
};

class CShowData {
public:
    std::int32_t m_nHeader = 0;
    std::array<std::string, kMaxShowNames> m_strNames; // code page 932, without folder and ".vlm"
    std::string m_strFolder; // UTF-8 folder of the show file, ending with '/'; not stored
    std::int32_t m_nCount = 0;
    std::int32_t m_nReserved = 0;

    // The names held: the count within 0..100 (a negative count from a file holds none).
    int NameCount() const;
    bool IsEmpty() const { return NameCount() == 0; }
    // Inserts a name (code page 932) before the name at an index; an index at or past the end,
    // or negative, appends.
    EShowListEdit InsertName(int before, const std::string& name);
    EShowListEdit RemoveName(int index);

    // A count above 100 is refused as an end-of-format error: no more than 100 names are held.
    void Serialize(CArchive& ar);

    // "vls" (case-sensitive ending) loads a show file, "vlm" makes a one-panel show; false for
    // any other ending or an unopenable file. A damaged show file throws CArchiveException and
    // leaves the record unchanged.
    bool LoadFromPath(const std::string& path);
    // One name (the file name without ".vlm") and the file's folder; false when unopenable.
    bool FromPanelFile(const std::string& path);
};

// "name" + ".vlm" resolved against a show's folder (both UTF-8 afterwards).
std::string ShowPanelPath(const std::string& folder, const std::string& nameCp932);
