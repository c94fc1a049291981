#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/date_time.h"
#include "core/server_certificate.h"

namespace quobel {

// One entry of the error log: a task's own text and the underlying error's text.
class TError {
  public:
    std::string Message;
    std::string Details;
    // The account whose task failed; empty when none.
    std::string AccountID;
    // The server certificate that was refused, which the user may choose to trust; or null.
    std::shared_ptr<const TServerCertificate> Certificate;

    TDateTime Time() const { return time_; }
    // Also sets TimeStr, "hh:nn:ss".
    void SetTime(TDateTime value);
    const std::string& TimeStr() const { return timeStr_; }

  private:
    TDateTime time_ = 0;
    std::string timeStr_ = "00:00:00";
};

// The in-memory log of background-task errors, in the order they were added.
// User-interface thread only.
class TErrors {
  public:
    // A new entry stamped with the current local time.
    TError& Add();
    size_t Count() const { return items_.size(); }
    TError& Items(size_t index) { return *items_[index]; }
    const TError& Items(size_t index) const { return *items_[index]; }
    void Clear() { items_.clear(); }

  private:
    std::vector<std::unique_ptr<TError>> items_;
};

}  // namespace quobel
