// The rule of every write calsvar makes, for "set" and "set --from" alike:
// exactly what was asked reaches the file, or nothing does. This part
// decides; the caller opens the file, hands over the plug-in's answers
// through VariableAccess, and saves only when nothing was refused.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cals/tag_finder.h"
#include "tools/calsvar/writing/header_forecast.h"

namespace calsvar {

// One value asked for. `text` is what the person asked the variable to
// become: the text given, or for a date its rendering in the date style.
struct RequestedValue {
  std::u16string name;
  std::u16string text;
};

// What one opened file answers, as the host reaches it.
class VariableAccess {
 public:
  virtual ~VariableAccess() = default;
  // One read of all names: each value, or empty when the name is not found.
  virtual std::vector<std::optional<std::u16string>> Read(const std::vector<std::u16string>& names) = 0;
  // One write of the requests with these indices, in that order; whether
  // each was accepted.
  virtual std::vector<bool> Write(const std::vector<std::size_t>& requests) = 0;
};

struct WriteRules {
  bool allowControl = false;   // control characters may be written
  bool skipUnchanged = false;  // a value equal to the current one is no change
  // A number written without the leading zeros the file gives it ("1728"
  // for "001728"), as spreadsheets save numbers, is no change either.
  bool numbersAsSpreadsheetsSave = false;
  // The picture size may change (calsvar never changes the raster, so
  // only when the person insists).
  bool pictureSizeMayChange = false;
  // Why a text cannot be written in the header's code page, or empty text.
  std::function<std::string(std::u16string_view)> whyNotInCodePage;
};

struct VariableVerdict {
  std::u16string name;
  std::optional<std::u16string> old;     // before; empty: no such variable
  std::u16string asked;                  // as it would be stored ("NONE" for empty text)
  std::optional<std::u16string> become;  // what the file gives after a save
  std::string reason;                    // why it is refused; empty: it is fine
  bool unchanged = false;                // equal to the current value: not written
  bool sameNumber = false;               // unchanged as the current number without its leading zeros
};

struct WritePlan {
  std::vector<VariableVerdict> variables;  // one per request, in order
  std::vector<std::string> sideEffects;    // changes a save would make that nobody asked for
  bool Refused() const;
  bool Changes() const;  // something would be written
  std::size_t SameNumbers() const;  // values read as the current number without its leading zeros
};

// Reads the current values, checks every value before anything is set,
// sets the rest in one write, reads them back, and holds the read-back
// and the forecast of the saved header against what was asked.
WritePlan PlanWrite(VariableAccess& file, HeaderForecast& forecast, const std::vector<RequestedValue>& requests,
                    const WriteRules& rules);

// Why the model refuses a write of `name`: "read-only ...", "no such
// variable ...", or that it is written through its sub-tags only.
std::string WhyWriteIsRefused(const cals::TagFinder& model, const std::u16string& name);

}  // namespace calsvar
