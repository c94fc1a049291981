#include "retrieval/errors.h"

#include <cstdio>

namespace quobel {

void TError::SetTime(TDateTime value) {
    time_ = value;
    const DateParts parts = DecodeDateTime(value);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", parts.hour, parts.minute, parts.second);
    timeStr_ = text;
}

TError& TErrors::Add() {
    auto entry = std::make_unique<TError>();
    entry->SetTime(Now());
    items_.push_back(std::move(entry));
    return *items_.back();
}

}  // namespace quobel
