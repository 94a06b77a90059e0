#!/usr/bin/env python3
"""Writes AgentDefaults.h: for each update-agent interface the fake agent implements, a class whose
every method answers E_NOTIMPL, as the agent does for what it does not support. The fake objects
derive from these and override only what the suite asks. Run again when the list changes:

    python3 testing/fakeagent/make_defaults.py /usr/share/mingw-w64/include/wuapi.h
"""
import os
import re
import sys

INTERFACES = [
    "IUpdateSession", "IUpdateSearcher", "ISearchJob", "ISearchResult", "IUpdateCollection", "IUpdate",
    "IUpdateIdentity", "IInstallationBehavior", "IStringCollection", "IUpdateDownloader", "IDownloadJob",
    "IDownloadProgress", "IDownloadResult", "IUpdateDownloadResult", "IUpdateInstaller", "IInstallationJob",
    "IInstallationProgress", "IInstallationResult", "IUpdateInstallationResult", "IWindowsUpdateAgentInfo",
    "ISystemInformation",
]


def methods(header, name):
    match = re.search(r"MIDL_INTERFACE\(\"[0-9a-f-]+\"\)\n%s : public \w+\n\{(.*?)\n\};" % name, header, re.S)
    if not match:
        raise SystemExit("no C++ declaration of %s" % name)
    found = re.findall(r"virtual HRESULT STDMETHODCALLTYPE (\w+)\((.*?)\) = 0;", match.group(1), re.S)
    return [(method, " ".join(parameters.split())) for method, parameters in found]


def main():
    with open(sys.argv[1], encoding="latin-1") as source:
        header = source.read()
    out = ["// Written by make_defaults.py from the platform's wuapi.h; do not edit.",
           "#pragma once", "", "#include <windows.h>", "#include <wuapi.h>", "",
           "#pragma GCC diagnostic push", "#pragma GCC diagnostic ignored \"-Wunused-parameter\"", "",
           "namespace FakeAgent {", ""]
    for name in INTERFACES:
        out.append("class %sDefaults : public %s {" % (name[1:], name))
        out.append("public:")
        out.append("    using Interface = %s;" % name)
        for method, parameters in methods(header, name):
            out.append("    HRESULT STDMETHODCALLTYPE %s(%s) override { return E_NOTIMPL; }" % (method, parameters))
        out.append("};")
        out.append("")
    out += ["}  // namespace FakeAgent", "", "#pragma GCC diagnostic pop", ""]
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "AgentDefaults.h")
    with open(target, "w") as result:
        result.write("\n".join(out))


if __name__ == "__main__":
    main()
