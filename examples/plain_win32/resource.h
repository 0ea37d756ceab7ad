/* Identifiers of the example's resources. */
#ifndef PLAIN_WIN32_RESOURCE_H
#define PLAIN_WIN32_RESOURCE_H

#define IDC_STATIC -1

#define IDD_MAIN 100
#define IDR_MENU 101
#define IDR_SKIN 102

#define IDC_NAME 1001
#define IDC_COLOUR 1002
#define IDC_ITEMS 1003
#define IDC_HINTS 1004
#define IDC_SMALL 1005
#define IDC_LARGE 1006
#define IDC_PROGRESS 1007
#define IDC_LEVEL 1008
#define IDC_MESSAGE 1009
#define IDC_OPEN 1010
#define IDC_FILE 1011

#define ID_FILE_OPEN 2001
#define ID_FILE_EXIT 2002
#define ID_SKIN_LIGHT 2003
#define ID_SKIN_DARK 2004
#define ID_SKIN_OFF 2005
#define ID_HELP_ABOUT 2006

#endif
