#pragma once
// Resource identifiers.
