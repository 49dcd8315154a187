#pragma once
// The engine list of current Firefox ("search.json.mozlz4", decoded): an "engines" list of
// objects with "_name" (and since version 6 an "id"), and "metaData" naming the default with
// "current" or "defaultEngineId", each beside a hash Firefox checks. A default whose hash
// does not match, or that is not there, makes Firefox fall back to its own stock engine: a
// restore takes the chosen default out rather than writing one with a hash of our own.

#include <string>

#include "addons/json_format.h"

namespace tarvo::browserdefaults {

using Json = addons::Json;

// The default engine's name; empty when the list names none (Firefox's stock engine).
[[nodiscard]] std::wstring DefaultEngineIn(const Json& document);

// Drops the chosen default (and the private-window default) from "metaData" and shows the
// engine called `stockName` again if it was hidden. Every other engine stays as it is.
// Whether anything changed.
bool ResetSearchDefaults(Json& document, const std::wstring& stockName);

}  // namespace tarvo::browserdefaults
