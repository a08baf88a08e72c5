# Wine scenarios of the setup's own programs, included by tests/e2e/wine_tests.cmake.

# ---- The form loader: a window built from a stored form description ---------------------
add_wine_scenario(NAME forms.showcase SCRIPT ${CMAKE_CURRENT_LIST_DIR}/forms/showcase.e2e)
