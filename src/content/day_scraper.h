#pragma once

namespace content {
} // namespace content
