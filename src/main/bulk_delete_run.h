#pragma once

#include <functional>
#include <string>
#include <system_error>

// How the bulk delete removes one file; an empty error on success.
using BulkDeletePathFunction = std::function<std::error_code(const std::string& path)>;

// The delete that the bulk delete uses from now on; an empty function restores the move to the
// trash. Tests put a delete in place that fails for a chosen file.
void UseBulkDeletePath(BulkDeletePathFunction deletePath);
