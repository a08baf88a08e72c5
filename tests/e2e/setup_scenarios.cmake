# Wine scenarios of the setup's own programs, included by tests/e2e/wine_tests.cmake.

# ---- The form loader: a window built from a stored form description ---------------------
add_wine_scenario(NAME forms.showcase SCRIPT ${CMAKE_CURRENT_LIST_DIR}/forms/showcase.e2e)

# ---- The wizard: its pages and a whole installation for the stand-in host ----------------
add_wine_scenario(NAME wizard.pages SCRIPT ${CMAKE_CURRENT_LIST_DIR}/wizard/pages.e2e
  SETUP ${CMAKE_CURRENT_LIST_DIR}/wizard/stage_host.sh)
add_wine_scenario(NAME wizard.install SCRIPT ${CMAKE_CURRENT_LIST_DIR}/wizard/install.e2e
  SETUP ${CMAKE_CURRENT_LIST_DIR}/wizard/stage_host.sh ENV WIZARD_SHARED_FOLDERS=1)
