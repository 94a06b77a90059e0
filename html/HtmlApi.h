#pragma once

// The engine is linked whole into vtframework.dll, which exports its document model to the HTML
// dialogs of every module; programs that link the engine directly (page tools, engine tests) use
// the same objects as plain code.
#if defined(HTML_ENGINE_BUILD)
#define HTML_API __declspec(dllexport)
#else
#define HTML_API
#endif
