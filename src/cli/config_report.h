#pragma once

#include <QJsonArray>

namespace quillon {

class CliContext;

// The selected model's configuration settings by name, for show: their bytes, names and values.
void print_model_settings(CliContext& context);
QJsonArray model_settings_json(const CliContext& context);

// The buffers' configuration as the selected model's settings, and what in it may lock the user
// out or surprise them, for hex-info.
void print_decoded_config(CliContext& context);

// Before a program run: one line on stderr for each kind of protection the image turns on. The
// run goes on, so that scripts are never held by a question.
void warn_of_protection(CliContext& context);

}  // namespace quillon
