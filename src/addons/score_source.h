#pragma once
// Where the add-on cleaners ask for an add-on's public score. The score database reader
// answers through this; tests answer with a table of their own.

#include <cstdint>
#include <string>

namespace tarvo::addons {

// One answer of the score database.
struct ScoreRecord {
    std::wstring Kind;  // "ID" when the add-on is known; empty when no score is known
    std::wstring Id;    // the name looked up (when found)
    std::int32_t Score = 0;
    std::wstring Note;
};

class IScoreSource {
public:
    virtual ~IScoreSource() = default;
    // False until the database has been read; the cleaners then ask nothing.
    [[nodiscard]] virtual bool Loaded() const = 0;
    // The score of an add-on by name (case-insensitive); Kind empty when unknown.
    [[nodiscard]] virtual ScoreRecord Lookup(const std::wstring& id) const = 0;
};

}  // namespace tarvo::addons
