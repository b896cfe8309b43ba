// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/compressor_list_trials.h"

#include <QComboBox>
#include <QStandardItemModel>

#include "media/writers/compressor_trial_request.h"
#include "media/writers/output_format.h"

namespace output {

using media::codecs::CompressorCategory;

namespace {

const QString kTryingSuffix = QStringLiteral(" (trying)");
const QString kTryingTip =
    QStringLiteral("Trying whether this compressor can write the chosen output...");

// Why the uncompressed row cannot be used for the output; empty when it can.
std::string uncompressedRefusal(CompressorCategory category, const media::TrialOutput& output) {
    const media::ContainerInfo* container = media::containerForCode(output.formatCode);
    const bool video = category == CompressorCategory::Video;
    const AVCodecID uncompressed = video ? AV_CODEC_ID_RAWVIDEO : AV_CODEC_ID_PCM_S16LE;
    if (!container || media::containerCarries(*container, uncompressed)) return {};
    return std::string("A ") + container->name + " file cannot hold " +
           (video ? "uncompressed pictures." : "uncompressed sound.");
}

}  // namespace

CompressorListTrials::CompressorListTrials(QComboBox* videoList, QComboBox* audioList,
                                           const media::codecs::CompressorRegistry& registry,
                                           const QString& answersFile, QObject* parent)
    : QObject(parent),
      registry_(registry),
      runner_(new CompressorTrialRunner(ownTrialCommand(), this)),
      cache_(answersFile) {
    video_.box = videoList;
    video_.category = CompressorCategory::Video;
    audio_.box = audioList;
    audio_.category = CompressorCategory::Audio;
    connect(runner_, &CompressorTrialRunner::finished, this, &CompressorListTrials::onFinished);
}

void CompressorListTrials::markRows(const media::TrialOutput& output) {
    inUse_ = true;
    runner_->dropQueued();
    markList(video_, output);
    markList(audio_, output);
    // The rows a user sees selected first, then the preferred ones, then the rest.
    for (List* list : {&video_, &audio_})
        if (!list->toTry.empty()) runner_->start(list->toTry.front(), kDialogLimit);
    for (std::size_t i = 1;; ++i) {
        bool more = false;
        for (List* list : {&video_, &audio_})
            if (i < list->toTry.size()) {
                runner_->start(list->toTry[i], kDialogLimit);
                more = true;
            }
        if (!more) break;
    }
    giveWay(video_);
    giveWay(audio_);
}

void CompressorListTrials::markList(List& list, const media::TrialOutput& output) {
    list.output = output;
    list.rows.assign(static_cast<std::size_t>(list.box->count()), Row{});
    list.toTry.clear();
    const auto& devices = registry_.devices(list.category);
    const int current = list.box->currentIndex();
    const auto preferred =
        media::codecs::findPreferredCompressor(list.category, registry_, output.formatCode);
    std::vector<media::TrialRequest> later;
    for (int row = 0; row < list.box->count(); ++row) {
        Row& r = list.rows[static_cast<std::size_t>(row)];
        if (row == 0) {
            r.name = list.box->itemText(0).toStdString();
            r.answer = uncompressedRefusal(list.category, output);
            show(list, row);
            continue;
        }
        r.name = devices[static_cast<std::size_t>(row - 1)].friendlyName;
        media::codecs::CompressorRef bound;
        const media::Status s =
            media::codecs::bindCompressor(list.category, row - 1, &bound, registry_);
        if (!s || !bound) {
            r.answer = s ? "The compressor is not installed." : s.text();
        } else if (std::string refusal = media::refusalWithoutTrial(*bound, output);
                   !refusal.empty()) {
            r.answer = refusal;
        } else {
            media::TrialRequest request = media::trialRequestFor(*bound, output);
            r.key = media::trialKey(request);
            if (auto it = dialogAnswers_.find(r.key); it != dialogAnswers_.end())
                r.answer = it->second;
            else if (auto kept = cache_.find(r.key))
                r.answer = *kept;
            else if (row == current)
                list.toTry.insert(list.toTry.begin(), std::move(request));
            else if (preferred && row == *preferred + 1)
                list.toTry.push_back(std::move(request));
            else
                later.push_back(std::move(request));
        }
        show(list, row);
    }
    for (auto& request : later) list.toTry.push_back(std::move(request));
}

void CompressorListTrials::leaveRowsPlain() {
    inUse_ = false;
    runner_->dropQueued();
    for (List* list : {&video_, &audio_}) {
        list->toTry.clear();
        for (Row& r : list->rows) r.answer = std::string();
        for (int row = 0; row < static_cast<int>(list->rows.size()); ++row) show(*list, row);
        list->rows.clear();
    }
}

void CompressorListTrials::show(List& list, int row) {
    auto* model = qobject_cast<QStandardItemModel*>(list.box->model());
    QStandardItem* item = model ? model->item(row) : nullptr;
    if (!item) return;
    const Row& r = list.rows[static_cast<std::size_t>(row)];
    const QString name = QString::fromStdString(r.name);
    if (!r.answer) {
        item->setText(name + kTryingSuffix);
        item->setEnabled(true);
        item->setToolTip(kTryingTip);
        return;
    }
    item->setText(name);
    item->setEnabled(r.answer->empty());
    item->setToolTip(QString::fromStdString(*r.answer));
}

void CompressorListTrials::giveWay(List& list) {
    const int current = list.box->currentIndex();
    const auto known = [&list](int row) { return list.rows[static_cast<std::size_t>(row)].answer; };
    if (current < 0 || current >= static_cast<int>(list.rows.size())) return;
    if (!known(current) || known(current)->empty()) return;
    const auto preferred =
        media::codecs::findPreferredCompressor(list.category, registry_, list.output.formatCode);
    std::vector<int> order;
    if (preferred && *preferred + 1 < static_cast<int>(list.rows.size()))
        order.push_back(*preferred + 1);
    for (int row = 1; row < static_cast<int>(list.rows.size()); ++row) order.push_back(row);
    for (int row : order) {
        const auto answer = known(row);
        if (!answer) return;  // not known yet: the choice waits for it
        if (answer->empty()) {
            list.box->setCurrentIndex(row);
            return;
        }
    }
    if (known(0)->empty()) list.box->setCurrentIndex(0);
}

void CompressorListTrials::onFinished(const QString& key, const TrialResult& result) {
    const std::string k = key.toStdString();
    dialogAnswers_[k] = result.refusal;
    // Only a real answer is kept for later runs: a trial that was too slow or broke down may
    // answer another time.
    if (result.kind == TrialResult::Kind::Answered) cache_.remember(k, result.refusal);
    if (!inUse_) return;
    for (List* list : {&video_, &audio_}) {
        bool changed = false;
        for (int row = 0; row < static_cast<int>(list->rows.size()); ++row) {
            Row& r = list->rows[static_cast<std::size_t>(row)];
            if (r.key != k || r.answer) continue;
            r.answer = result.refusal;
            show(*list, row);
            changed = true;
        }
        if (changed) giveWay(*list);
    }
}

bool CompressorListTrials::trying() const {
    for (const List* list : {&video_, &audio_})
        for (const Row& r : list->rows)
            if (!r.answer) return true;
    return false;
}

void CompressorListTrials::finish() {
    runner_->stop();
    cache_.save();
}

}  // namespace output
