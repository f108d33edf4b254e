# The word rule tests of the dictionary core: cleaning, editing, the pre-save
# check, and the indexed rules checked against their plain references.
vexlon_add_gtest(dictionary_rules_tests
  ${CMAKE_CURRENT_LIST_DIR}/CleaningRulesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditingTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReferenceEquivalenceTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReferenceRules.cpp
  LIBS vexlon_dictionary)
vexlon_warnings(dictionary_rules_tests)
