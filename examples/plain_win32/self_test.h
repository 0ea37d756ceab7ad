/* The example's self-test: it drives the program's own commands from a timer, checks that each
   window comes up skinned (by the library's answer and by the pixels of its frame), that a skin
   switch repaints the main dialog at its size and that switching off gives the native frame back,
   and can save a picture of each window. Nothing happens unless the command line asks for it. */
#ifndef PLAIN_WIN32_SELF_TEST_H
#define PLAIN_WIN32_SELF_TEST_H

#include <windows.h>

#include <vexskin/vexskin_c.h>

/* Reads --self-test or --screenshots FOLDER from the command line. */
void self_test_parse(const wchar_t *command_line);
int self_test_active(void);
/* Starts the run on the main dialog (when one was asked for). */
void self_test_attach(HWND dlg, vexskin_session *skin);
/* A timer tick of the main dialog: answers TRUE when it was the self-test's. */
INT_PTR self_test_tick(HWND dlg, WPARAM timer);
/* The program's exit code: the number of failed checks (0 without a self-test). */
int self_test_exit_code(void);

#endif
