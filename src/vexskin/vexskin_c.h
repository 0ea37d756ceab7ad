/*
 * vexskin for plain Win32 programs: skins a program's dialogs, message boxes, common dialogs and
 * the windows of the class names it names, with their controls, from a skin file or from skin
 * bytes in memory. No form framework is needed; C, C++ and any language that can call a C
 * function of a DLL use it the same way.
 *
 *     vexskin_session *skin = NULL;
 *     if (vexskin_start_file(L"blue.vsk", NULL, &skin) != VEXSKIN_OK)
 *         OutputDebugStringW(vexskin_last_error());
 *     DialogBoxW(...);      (and its message boxes, its open-file dialogs: all skinned)
 *     vexskin_end(skin);
 *
 *   A start that fails leaves the program running as it would without the library.
 *
 * Linking
 *   The DLL (vexskin.dll with its import library libvexskin.dll.a) exports exactly the functions
 *   below. A program linked with the static library instead defines VEXSKIN_STATIC before it
 *   includes this header (the CMake package's vexskin::static target does that).
 *
 * Strings
 *   Every string is UTF-16 (wchar_t on Windows), terminated by a zero. The library copies what it
 *   keeps; the caller's strings and bytes may go as soon as a call returns.
 *
 * Errors
 *   Every function that can fail answers a vexskin_status. VEXSKIN_OK is zero; on any other answer
 *   vexskin_last_error() tells what went wrong, in words, and nothing was changed: a failed start
 *   leaves the program unskinned, a failed skin change leaves the skin that showed before. No
 *   exception ever leaves the library.
 *
 * Threads
 *   A session skins the windows of the thread that started it, through a window hook of that
 *   thread, and every call naming the session must come from that thread (others answer
 *   VEXSKIN_ERROR_THREAD). One session per thread. The last-error message is kept per thread.
 */
#ifndef VEXSKIN_C_H
#define VEXSKIN_C_H

#include <stddef.h>
#include <windows.h>

#if defined(VEXSKIN_BUILDING_DLL)
#define VEXSKIN_API __declspec(dllexport)
#elif defined(VEXSKIN_STATIC)
#define VEXSKIN_API
#else
#define VEXSKIN_API __declspec(dllimport)
#endif

/* The Win32 calling convention, so that any language that calls the system can call the library
   (the same as the default on 64-bit Windows). */
#define VEXSKIN_CALL WINAPI

#ifdef __cplusplus
extern "C" {
#endif

/* One program thread being skinned. Opaque: made by a vexskin_start_ function, ended by
   vexskin_end. */
typedef struct vexskin_session vexskin_session;

typedef enum vexskin_status {
  VEXSKIN_OK = 0,
  /* A null pointer, an empty string, a size of zero, a window that is not a top-level window of
     the session's thread, or a session that has ended. */
  VEXSKIN_ERROR_ARGUMENT = 1,
  /* The skin file was not found or could not be read. */
  VEXSKIN_ERROR_FILE = 2,
  /* The bytes are not a skin the library can read (damaged, cut short, another format). */
  VEXSKIN_ERROR_SKIN = 3,
  /* The skin is protected by a password and the one given is not it. */
  VEXSKIN_ERROR_PASSWORD = 4,
  /* The call came from a thread other than the one that started the session. */
  VEXSKIN_ERROR_THREAD = 5,
  /* The calling thread is skinned already (by another session or a skin engine of the
     framework). */
  VEXSKIN_ERROR_BUSY = 6,
  /* The system refused something the library needs (memory, a window hook). */
  VEXSKIN_ERROR_SYSTEM = 7
} vexskin_status;

/* Starts skinning the calling thread with the skin in a skin file (.vsk).
   skin_file  the file's path; a bare or relative name not found as given is looked for in the
              program's folder, then the Windows and the system folders.
   password   the skin's password, or NULL (or "") for a skin without one.
   session    receives the new session; set to NULL when the call fails.
   From now on every dialog (also those of the system: message boxes, the common dialogs) and
   every window of a class named with vexskin_add_window_class gets the skin's frame when it is
   first activated, and its controls the skin's look.
   Errors: ARGUMENT (a null pointer, an empty name), FILE, SKIN, PASSWORD, BUSY, SYSTEM. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_start_file(const wchar_t *skin_file, const wchar_t *password,
                                                          vexskin_session **session);

/* The same with the skin's archive bytes in memory, for example a resource of the program
   (FindResourceW, LoadResource, LockResource, SizeofResource). The bytes are copied.
   Errors: ARGUMENT (null bytes, size 0, null session pointer), SKIN, PASSWORD, BUSY, SYSTEM. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_start_memory(const void *skin_bytes, size_t size,
                                                            const wchar_t *password, vexskin_session **session);

/* Switches the session to the skin in a skin file: every skinned window repaints in it at once
   and keeps its size. The file is looked for as by vexskin_start_file.
   Errors: ARGUMENT, FILE, SKIN, PASSWORD, THREAD. On an error the previous skin stays. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_load_file(vexskin_session *session, const wchar_t *skin_file,
                                                         const wchar_t *password);

/* Switches the session to the skin in archive bytes in memory (copied), as vexskin_load_file.
   Errors: ARGUMENT, SKIN, PASSWORD, THREAD. On an error the previous skin stays. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_load_memory(vexskin_session *session, const void *skin_bytes,
                                                           size_t size, const wchar_t *password);

/* Switches skinning off (enabled = 0) or on again (any other value). Off, every skinned window
   is given back exactly as it was before it was skinned (its frame, size, style and controls)
   and new windows stay native; on, they all show the skin again.
   Errors: ARGUMENT, THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_set_enabled(vexskin_session *session, int enabled);

/* Answers in *enabled 1 while skinning is on, 0 while it is off.
   Errors: ARGUMENT, THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_get_enabled(vexskin_session *session, int *enabled);

/* Skins the top-level windows of a window class of the program (the name given to
   RegisterClassW; letter case does not matter) as they are activated, from now on; windows of
   the class already visible are skinned at once. The name is forgotten when the session ends.
   The names are kept in one table for the whole process: with sessions on several threads, add
   them while no other thread is being skinned, and know that every session skins them.
   Errors: ARGUMENT (null, empty, or longer than 256 characters), THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_add_window_class(vexskin_session *session,
                                                                const wchar_t *class_name);

/* Skins one top-level window of the session's thread now, whatever its class (a window that was
   open before the session started, for example). A window skinned already is left as it is.
   Errors: ARGUMENT (not a window, a child window, another thread's window), THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_skin_window(vexskin_session *session, HWND window);

/* Answers in *skinned 1 when the window shows the session's skin now, else 0.
   Errors: ARGUMENT, THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_window_skinned(vexskin_session *session, HWND window,
                                                              int *skinned);

/* Ends the session: every window it skinned is given back as it was, the window hook goes, and
   the session pointer is no longer valid. The thread may start a new session afterwards.
   Called from a window procedure while another call on the session is under way (the library
   sends the program's windows messages as it works), the session ends as that call returns.
   A null session is accepted and does nothing. A program that loads the DLL at run time ends
   its sessions before it unloads the DLL (the window hook runs code of the DLL).
   Errors: ARGUMENT (a session that has ended already), THREAD. */
VEXSKIN_API vexskin_status VEXSKIN_CALL vexskin_end(vexskin_session *session);

/* What went wrong in the last call of the calling thread that failed, in English; "" when the
   thread's last call succeeded. Valid until the thread's next call into the library. */
VEXSKIN_API const wchar_t *VEXSKIN_CALL vexskin_last_error(void);

/* The library's version, for example L"4.7". */
VEXSKIN_API const wchar_t *VEXSKIN_CALL vexskin_version(void);

#ifdef __cplusplus
}
#endif

#endif /* VEXSKIN_C_H */
