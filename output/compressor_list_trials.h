// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Options dialog's compressor lists know about their rows: whether each compressor
// writes the chosen output. Answers already known (kept from an earlier run, or found in this
// dialog) show at once; the others are tried in helper processes while the rows show
// "(trying)", and each row is greyed with its reason or made plain as its answer comes. The
// dialog stays usable throughout; OK takes what is known.
#include <QObject>
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "media/codecs/compressor_registry.h"
#include "media/writers/compressor_trial.h"
#include "output/compressor_answer_cache.h"
#include "output/compressor_trial_runner.h"

class QComboBox;

namespace output {

class CompressorListTrials : public QObject {
    Q_OBJECT
public:
    // A trial the dialog waits no longer for; its refusal holds for this dialog only.
    static constexpr std::chrono::milliseconds kDialogLimit{3000};

    CompressorListTrials(QComboBox* videoList, QComboBox* audioList,
                         const media::codecs::CompressorRegistry& registry,
                         const QString& answersFile, QObject* parent);

    // The rows of both lists for `output`; trials of an earlier output not yet started are
    // dropped, the current and the preferred rows are tried first.
    void markRows(const media::TrialOutput& output);
    // The lists are not in use for this output (the container chooses its own codecs, or the
    // size is beyond what the dialog accepts): every row plain, nothing tried.
    void leaveRowsPlain();

    // True while a row of a list in use waits for its answer.
    bool trying() const;
    // The dialog closes: trials under way are killed, the answers learned are kept.
    void finish();

private:
    struct Row {
        std::string name;
        std::string key;                    // empty for rows answered without a trial
        std::optional<std::string> answer;  // empty text: it works
    };
    struct List {
        QComboBox* box = nullptr;
        media::codecs::CompressorCategory category;
        media::TrialOutput output;
        std::vector<Row> rows;
        std::vector<media::TrialRequest> toTry;  // in the order they should be tried
    };

    void markList(List& list, const media::TrialOutput& output);
    void show(List& list, int row);
    // A greyed choice gives way to the preferred row when it works, else to the first row that
    // works; it waits while a row it would prefer is still being tried.
    void giveWay(List& list);
    void onFinished(const QString& key, const TrialResult& result);

    const media::codecs::CompressorRegistry& registry_;
    CompressorTrialRunner* runner_;  // a child, so the dialog's object tree holds the helpers
    CompressorAnswerCache cache_;
    std::map<std::string, std::string> dialogAnswers_;  // time-outs and failures included
    List video_;
    List audio_;
    bool inUse_ = false;
};

}  // namespace output
