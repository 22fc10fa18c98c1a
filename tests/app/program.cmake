# ostrel-configurator run as a program.
ostrel_add_test(test_configurator_program test_configurator_program.cpp LIBS ostrel_core)
target_compile_definitions(test_configurator_program PRIVATE
  OSTREL_CONFIGURATOR="$<TARGET_FILE:ostrel-configurator>" OSTREL_VERSION="${PROJECT_VERSION}")
add_dependencies(test_configurator_program ostrel-configurator)
