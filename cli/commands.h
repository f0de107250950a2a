#pragma once
// Each command returns the process exit status: 0 on success, 1 after printing one line to stderr.
int commandInfo(const char* path);
int commandFrames(const char* path, const char* folder);
int commandRewrite(const char* input, const char* output);
int commandQuantize(const char* ppmPath, const char* gifPath);
int commandOptimize(const char* input, const char* output);
