#pragma once
// The score database as the add-on cleaners ask for it.

#include "addons/score_source.h"
#include "online/score_db_helper.h"

namespace tarvo::online {

class ScoreDbSource final : public addons::IScoreSource {
public:
    explicit ScoreDbSource(const TScoreDBHelper& database) noexcept : database_(database) {}
    [[nodiscard]] bool Loaded() const override { return database_.Loaded(); }
    [[nodiscard]] addons::ScoreRecord Lookup(const std::wstring& id) const override {
        TScore score;
        database_.Lookup(id, score);
        return {.Kind = score.Kind, .Id = score.Id, .Score = score.Score, .Note = score.Note};
    }

private:
    const TScoreDBHelper& database_;
};

}  // namespace tarvo::online
