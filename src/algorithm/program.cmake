list(APPEND ALGORITHM_CORE
  step_program.cpp
  operand_names.cpp
  expression_checker.cpp
  drawing_import.cpp)
