#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "repair/report/FindingKindRow.h"

// Every line the window, the findings dialog, the console and the log show
// for a finding, made here from the finding and its kind's texts, so that one
// finding reads the same wherever it is shown.
namespace tovask {

// Its name in plain words: what it does to the person, with its value
// ("Página de inicio impuesta: http://..."), never the place it lives in.
std::wstring findingTitle(const Finding& finding);

// What the findings dialog shows of a selected finding, a line each: its
// title, where it lives, the value found, and what the repair will do, or why it is left and
// what the person can do.
std::vector<std::wstring> detailLines(const Finding& finding, const KindTexts& texts,
                                      std::span<const Finding> run);

// What a finding holds, as people read it: what was found, then the places
// of the run's findings it is tied to (`run`, which holds them).
std::wstring heldText(const Finding& finding, std::span<const Finding> run);

// The findings as report lines, each group's heading followed by its
// findings, each its title and below it its place and what it holds; after
// `limit` lines one more says how many were left out.
std::vector<std::wstring> findingLines(std::span<const Finding> findings, std::size_t limit,
                                       std::span<const Finding> run = {});

// Why a report-only finding is left: the list allows it, or its kind's reason.
std::wstring_view whyLeft(const Finding& finding, const KindTexts& texts);

// What became of it: "Bloqueo quitado: Página de inicio impuesta: http://...
// (HKEY_LOCAL_MACHINE\...)".
std::wstring outcomeLine(const Finding& finding, const KindTexts& texts, Outcome outcome);

// A lock removed from the registry that a local policy file left as it was
// puts back, naming the file.
std::wstring putBackLine(const Finding& lock, const Finding& policyFile);

}  // namespace tovask
