/*
 * Texts that are the same in every build, English in the Korean builds too.
 * Platform-free.
 */
#ifndef SETUP_COMMON_TEXTS_H
#define SETUP_COMMON_TEXTS_H

extern const char kEnvironmentX86[];     /* "Windows NT x86" */
extern const char kEnvironmentX64[];     /* "Windows x64" */
extern const char kUnsupportedText[];    /* refusal at start-up */
extern const char kUnsupportedCaption[]; /* "Install Error" */
extern const char kAddDriverErrorFormat[];
extern const char kAddDriverErrorCaption[]; /* ends with a blank */
extern const char kPutBackErrorText[];      /* heads the lines below */
extern const char kPutBackLineFormat[];     /* a kind, a name, an error code */
extern const char kPutBackDriver[];         /* the kinds */
extern const char kPutBackPrinter[];
extern const char kPutBackPrinterData[];
extern const char kPutBackDefaultPrinter[];
extern const char kPutBackMore[];    /* ends a note that has no room for every line */
extern const char kDriverPath[];     /* "UNIDRV.DLL" */
extern const char kConfigFile[];     /* "UNIDRVUI.DLL" */
extern const char kHelpFile[];       /* "UNIDRV.HLP" */
extern const char kPrintProcessor[]; /* "WinPrint" */
extern const char kKeyCopyFiles[];
extern const char kKeyDataSection[];
extern const char kKeyDefaultDataType[];
extern const char kDefaultDataType[];       /* "RAW" */
extern const char kPortFile[];              /* "FILE:" */
extern const char kPortCom1[];              /* "COM1:" */
extern const char kPortInfraredPrefix[];    /* "IR" */
extern const char kPercentFormat[];         /* "%d %%" */
extern const char kCurrentFolder[];         /* ".\\" */
extern const char kProfileSectionWindows[]; /* "windows" */
extern const char kProfileKeyDevice[];      /* "device" */
extern const char kEmptyString[];

#endif
